; Golden trace program 3: keyboard and port traffic. Scans every keyboard column
; (one at a time, all at once and none) through port 1 and the row read at 0xBFFF,
; reads port 2 for SHIFT, BREAK and CTRL, writes port 2 and the keyboard/video latch
; (speaker edges), and touches the memory map's mirrors, unmapped addresses and the
; on-chip registers. Every value read goes into the log at LOG. The test holds
; different keys in different frames.
        processor 6803

DDR1    equ     $00
PORT1   equ     $02
PORT2   equ     $03
RAMCTL  equ     $14
KBROW   equ     $BFFF
LATCH   equ     $BFFF
LOGPTR  equ     $80             ; next free byte of the log (2)
LOOPS   equ     $82             ; passes of the main loop (2)
CNT     equ     $84
SUM     equ     $85             ; sum of every logged byte (2)
LOG     equ     $4800           ; 1 KiB, then round again
STACK   equ     $4FF0

        org     $4000
        jmp     start           ; reset
        jmp     start
        jmp     start
        jmp     start
        jmp     start
        jmp     start

; Appends B to the log and adds it to SUM. Keeps A.
logb    ldx     LOGPTR
        stab    0,x
        inx
        cpx     #LOG+$400
        bne     logb1
        ldx     #LOG
logb1   stx     LOGPTR
        psha
        tba
        adda    SUM+1
        staa    SUM+1
        ldaa    SUM
        adca    #0
        staa    SUM
        pula
        rts

start   lds     #STACK
        ldx     #LOG
        stx     LOGPTR

main    ldaa    #$FE            ; one column at a time
        sec
col     staa    PORT1
        ldab    KBROW
        jsr     logb
        ldab    PORT2
        jsr     logb
        ldab    KBROW           ; the same strobe twice
        jsr     logb
        sec
        rola
        cmpa    #$FF
        bne     col
        clr     PORT1           ; every column at once
        ldab    KBROW
        jsr     logb
        ldab    $9000           ; the rows answer all over 0x8000-0xBFFF
        jsr     logb
        ldab    PORT2
        jsr     logb
        ldaa    #$FF            ; no column
        staa    PORT1
        ldab    KBROW
        jsr     logb
        ldab    PORT2
        jsr     logb
        ldaa    #$5A            ; two columns
        staa    PORT1
        ldab    KBROW
        jsr     logb

; port 2 output: even values only, so the cassette and printer decoders stay idle
        ldaa    #8
        staa    CNT
p2      ldab    CNT
        aslb
        stab    PORT2
        ldab    PORT2           ; what was written is not read back
        jsr     logb
        dec     CNT
        bne     p2

; the keyboard/video latch: speaker edges, colour set and graphics bits
        ldaa    #$80
        staa    LATCH
        staa    LATCH           ; no edge
        clr     LATCH
        ldaa    #$81
        staa    $A000           ; the latch answers all over 0x8000-0xBFFF
        ldaa    LOOPS+1
        anda    #$7C
        staa    LATCH

; the memory map: mirrors, unmapped addresses, the ROM seen at 0xC000
        ldab    $2A10           ; nothing answers: the address's low byte
        jsr     logb
        ldab    LOOPS+1
        stab    $6F23           ; 0x6000-0x6FFF writes the 4 KiB RAM
        ldab    $5F23           ; and 0x5000-0x7FFF reads it
        jsr     logb
        ldab    #$77
        stab    $5F24           ; ignored
        ldab    $4F24
        jsr     logb
        ldab    $C123
        jsr     logb
        ldab    $0025           ; unmapped page-zero address
        jsr     logb

; on-chip registers beside the ports
        ldaa    LOOPS+1
        staa    DDR1
        ldab    DDR1
        jsr     logb
        ldab    RAMCTL
        jsr     logb
        ldab    $0D             ; input capture: always 0
        jsr     logb
        stab    $0E
        ldab    $0E
        jsr     logb
        ldab    $05             ; port 4: plain memory
        incb
        stab    $05
        jsr     logb
        ldab    $05
        jsr     logb

        ldx     LOOPS
        inx
        stx     LOOPS
        jmp     main
