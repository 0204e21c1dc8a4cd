; TOVRIN BASIC 1.0 - the built-in 8 KiB ROM of the tovrin MC-10 emulator.
; Our own firmware, written from scratch: a small integer BASIC with a line
; editor, the cassette and printer routines and the machine's fixed RAM cells.
;
; Files: rom.asm (this: addresses, start-up, entry points, vectors),
; io.asm (screen, keyboard), basic.asm (editor, tokeniser, statements),
; expr.asm (expressions, variables, numbers), tape.asm (cassette, printer,
; sound), tokens.asm (token numbers and keyword names).
        processor 6803

; ---- on-chip registers and I/O ----
DDR1    equ     $00             ; port 1 direction (keyboard column strobes)
DDR2    equ     $01             ; port 2 direction
PORT1   equ     $02             ; keyboard columns, active low
PORT2   equ     $03             ; bit 0 cassette/printer out, bit 1 SHIFT/CTRL/BREAK, bit 4 cassette in
TIMER   equ     $09             ; free-running counter
SCREEN  equ     $4000           ; 32x16 text screen
SCREND  equ     $4200
KBROW   equ     $BFFF           ; keyboard rows (read)
LATCH   equ     $BFFF           ; video/speaker latch (write)

; ---- fixed RAM cells that programs and the emulator rely on ----
JMPTAB  equ     $4200           ; 7 interrupt jumps, 3 bytes each
CASEFLG equ     $421C           ; bit 0 set: upper-case mode
DEBNCE  equ     $421D           ; key debounce delay (2 bytes)
EXECAD  equ     $421F           ; EXEC / USR address, high byte first
BRKDIS  equ     $423B           ; non-zero: BREAK ignored
LASTCH  equ     $427F           ; ASCII code of the last key
CURCHR  equ     $4282           ; cursor block; bits 4-6 the current colour
TXTTAB  equ     $4346           ; BASIC program text

; ---- our own RAM cells in 0x4221-0x4345 ----
BLKTYP  equ     $4221           ; tape block type
BLKLEN  equ     $4222           ; tape block length
CBUFAD  equ     $4223           ; tape block buffer address (2)
BLKEND  equ     $4225           ; last address a block read may fill (2)
NAMBLK  equ     $4227           ; 15-byte name block: name 8, type, ascii, gap, exec 2, load 2
NB_TYPE equ     NAMBLK+8
NB_ASC  equ     NAMBLK+9
NB_GAP  equ     NAMBLK+10
NB_EXEC equ     NAMBLK+11
NB_LOAD equ     NAMBLK+13
SNAME   equ     $4240           ; name given to CSAVE, CLOAD, SKIPF (8), blank = any
NUMBUF  equ     $4248           ; number to text (8)
TAPBUF  equ     $4250           ; where SKIPF pretends to read to (nothing is stored)
KBUF    equ     $4290           ; keys typed while a program runs (16)
BUF     equ     $42C0           ; line input buffer, 128 bytes
BUFEND  equ     $4340
TXTM1   equ     $4345           ; always 0: the "line end" before the program

; ---- direct page (on-chip RAM) ----
TXTPTR  equ     $80             ; interpreter text pointer
CURLIN  equ     $82             ; current line, $FFFF in direct mode
VARTAB  equ     $84             ; simple variables (end of program)
ARYTAB  equ     $86             ; arrays
ARYEND  equ     $88             ; end of arrays
MEMTOP  equ     $8A             ; highest RAM address
DATPTR  equ     $8C             ; READ position
OLDLIN  equ     $8E             ; CONT line
OLDTXT  equ     $90             ; CONT position, 0 = cannot continue
CURPOS  equ     $92             ; cursor address on the screen
DEVNUM  equ     $94             ; 0 screen, else printer
PRTCOL  equ     $95             ; printer column
KEYLST  equ     $96             ; matrix key held at the last poll, $FF none
LATSH   equ     $97             ; copy of the last latch value
KWPTR   equ     $98             ; keyword being typed by a CTRL key (2)
VALTYP  equ     $9A             ; type of the value just worked out: 0 number, $FF string
TSP     equ     $9B             ; temporary strings waiting: 3 bytes each
FRESPC  equ     $9C             ; lowest byte of string space in use (2)
TMP     equ     $9E             ; scratch (2)
TMP2    equ     $A0
TMP3    equ     $A2
TMP4    equ     $A4
LINNUM  equ     $A6             ; line number parsed (2)
FORVAR  equ     $A8             ; variable address for FOR/NEXT (2)
RELOP   equ     $AA             ; relation being evaluated
KTMP    equ     $AB             ; keyboard scratch
TBITS   equ     $AC             ; bit counter for tape/printer
CSUM    equ     $AD             ; tape checksum
RBYTE   equ     $AE             ; tape byte being read
BRKCNT  equ     $AF             ; tape wait counter
SRC     equ     $B0             ; block move source (2)
DST     equ     $B2             ; block move destination (2)
CNT     equ     $B4             ; block move count (2)
QUOTE   equ     $B6             ; tokeniser/lister mode flags
INPTR   equ     $B7             ; INPUT text pointer (2)
LPFRM   equ     $B9             ; printer bit frame (2)
STIME   equ     $BB             ; sound timing (2)
SPITCH  equ     $BD
SDUR    equ     $BE
LSTEND  equ     $BF             ; LIST last line (2)
NDIM    equ     $C1             ; subscripts of the array being used
RMODE   equ     $C2             ; tape read: 0 store, else discard
KCOL    equ     $C3             ; keyboard scratch
INSAVE  equ     $C4             ; INPUT: start of the variable list (2)
INVPOS  equ     $C6             ; INPUT: the variable being read (2)
VNAME   equ     $C8             ; variable name being looked up (2)
MULTMP  equ     $CA             ; multiply/divide scratch
ACNT    equ     $CB             ; array size being made (2)
LOADB   equ     $CD             ; a BASIC program is being loaded
OFFS    equ     $CE             ; CLOADM offset (2)
KBIN    equ     $D0             ; key buffer: next free slot
KBOUT   equ     $D1             ; key buffer: next key to take
SLEN    equ     $D2             ; the string just worked out: length
SADR    equ     $D3             ; and address (2)
STRTAB  equ     $D5             ; bottom of string space; the stack starts below (2)
MKVAR   equ     $D7             ; variable lookup: 0 read, 1 make, $FF DIM

; ---- interpreter cells outside the direct page ----
; (the collection and the allocator borrow tape, printer and sound cells of
; the direct page: no string is made while those work)
GCTOP   equ     LPFRM           ; collection: strings kept from here up (2)
GCBEST  equ     STIME           ; collection: the highest string found (2)
GCBLN   equ     SPITCH          ; and its length
CHRBUF  equ     $4289           ; one character for CHR$ and INKEY$
MCT     equ     TMP             ; memory check scratch (2)
ALEN    equ     RMODE           ; length being allocated
ANEW    equ     $428F           ; the array is being made
RDFLG   equ     LSTEND          ; 0 INPUT, 1 READ (LIST's cell: never at once)
RAMTOP  equ     $42B0           ; the top of RAM found at start-up (2)
GCOLD   equ     TBITS           ; collection: the string moved last (2)
BRKCT   equ     $42B4           ; statements until the next BREAK check
TSTK    equ     $42A0           ; temporary string descriptors (12)
VSEND   equ     RBYTE           ; collection scratch (2)
STRDEF  equ     100             ; string space after a cold start

        org     $E000
        include "io.asm"
        include "basic.asm"
        include "expr.asm"
        include "strings.asm"
        include "float.asm"
        include "tape.asm"
        include "tokens.asm"

;---- start-up ----
; Clears the direct page and the cells from 0x4200 up to the program, sizes
; the RAM, sets the fixed cells and the interrupt jumps, and greets.
reset:  sei
        ldx     #$80
rs_clr: clr     0,x
        inx
        cpx     #$100
        bne     rs_cl1
        ldx     #JMPTAB
rs_cl1: cpx     #TXTTAB
        bne     rs_clr
        ldd     #$FF01
        staa    DDR1
        staa    PORT1           ; no column strobed
        staa    KEYLST
        stab    DDR2            ; port 2 bit 0 drives the cassette/printer line
        stab    CASEFLG         ; upper case
        ; RAM ends below the first page whose top byte does not keep a
        ; change (tried from 0x50FF up, each byte put back). Nothing with bit
        ; 7 set is written, so a try that reaches the latch makes no sound.
        ldx     #$4FFF
rs_ram: stx     MEMTOP          ; the top of the last page that kept it
        ldab    #$FF
        abx
        inx
        ldab    0,x
        tba
        eora    #$55
        anda    #$7F
        staa    0,x
        cmpa    0,x
        bne     rs_top
        stab    0,x
        bra     rs_ram
rs_top: lds     MEMTOP
        clr     LATCH           ; text mode, colour set 0, speaker low
        ; interrupt jump table: every entry returns at once
        ldx     #JMPTAB
        ldd     #$3B07          ; RTI, 7 entries
rs_jt:  staa    0,x
        inx
        inx
        inx
        decb
        bne     rs_jt
        ldd     #$045E
        std     DEBNCE
        ldd     #os_e           ; an RTS
        std     EXECAD
        ldaa    #$AF            ; blue block
        staa    CURCHR
        jsr     cls0
        jsr     outmsg
        dc.b    "TOVRIN BASIC 1.0",13,0
        jsr     coldbas
        jsr     memfre          ; what MEM gives at the prompt
        jsr     prudec
        jsr     outmsg
        dc.b    " BYTES FREE",13,0
        jmp     ready

romend:                         ; the build reports the space from here to 0xFFDC

; ---- entry points for machine-language programs ----
        org     $FFDC,$FF
        dc.w    polcat          ; $FFDC poll keyboard: A = key, Z set when none
        dc.w    putchr          ; $FFDE print the character in A
        dc.w    csrdon          ; $FFE0 start the tape for reading
        dc.w    blkin           ; $FFE2 read a block (BLKTYP, BLKLEN, CBUFAD)
        dc.w    blkout          ; $FFE4 write a block (BLKTYP, BLKLEN, CBUFAD)
        dc.w    dosound         ; $FFE6 sound: A = pitch, B = duration
        dc.w    wrldr           ; $FFE8 write the tape leader
        dc.w    givabf          ; $FFEA integer in D to the BASIC number (USR result)
        dc.w    intcnv          ; $FFEC BASIC number (USR argument) to integer in D

; ---- CPU vectors: the interrupt sources jump through the table in RAM ----
        org     $FFF0,$FF
        dc.w    JMPTAB          ; serial
        dc.w    JMPTAB+3        ; timer overflow
        dc.w    JMPTAB+6        ; output compare
        dc.w    JMPTAB+9        ; input capture
        dc.w    JMPTAB+12       ; IRQ1
        dc.w    JMPTAB+15       ; SWI
        dc.w    JMPTAB+18       ; NMI
        dc.w    reset           ; reset
