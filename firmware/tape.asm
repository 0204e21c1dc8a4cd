; Cassette, printer and sound.
;
; Cassette bits go out on port 2 bit 0, least significant bit first, each a
; high half then a low half: about 218 cycles each for a 1, 430 for a 0.
; A file: leader (128 x $55), name block, half a second of silence, leader,
; data blocks, end block. A block: $55 $3C type length data... checksum $55.
; Reading times the high half of each bit on port 2 bit 4.
;
; RAM used: BLKTYP, BLKLEN, CBUFAD, BLKEND (the block entry points' cells),
; NAMBLK, SNAME, TBITS, CSUM, RBYTE, LOADB, OFFS, CNT; the
; printer LPFRM and PRTCOL; the sound STIME, SPITCH, SDUR, LATSH.
;
; csrdon, blkin, blkout, wrldr   the ROM entry points for blocks
; csave, cload, skipf            the statements (CSAVEM, CLOADM via csave, cload)
; lpout                          A to the printer; keeps every register
; dosound                        A = pitch, B = length in 1/16 s

RDTH    equ     23              ; high halves shorter than this many polls are 1s

; csrdon (with kscan's exit): get ready to read the tape, no column strobed

; rdbit: C = next bit from the tape. BREAK is looked at only after 256 polls
; without an edge (silence or no tape), never while a half period is being
; timed, so a clean signal keeps all of its margin.
rdbit:  clrb
rb_w:   ldaa    PORT2           ; wait for the line to go high
        bita    #$10
        bne     rb_h0
        incb
        bne     rb_w
        jsr     brkchk
        bcc     rdbit
rb_brk: jmp     tapbrk
rb_h0:  clrb
rb_h:   incb                    ; 13 cycles a poll
        beq     rb_ov
        ldaa    PORT2
        bita    #$10
        bne     rb_h
        cmpb    #RDTH
        rts
rb_ov:  jsr     brkchk          ; line stuck high
        bcc     rb_h0
        bra     rb_brk

; rdbyte: A = next byte; keeps B and X
rdbyte: pshb
        ldaa    #$80            ; a marker bit: out after the eighth bit
        staa    RBYTE
rby_l:  bsr     rdbit
        ror     RBYTE
        bcc     rby_l
        ldaa    RBYTE
        pulb
        rts

; blkin: read a block to CBUFAD, keeping no byte beyond BLKEND; BLKTYP,
; BLKLEN. A = 0 and C clear when good; A = 1 bad checksum, A = 2 no room
; for all of it (C set).
blkin:  pshx
        pshb
        jsr     csrdon
bi_s:   bsr     rdbit
        ror     RBYTE
        ldaa    RBYTE
        cmpa    #$3C
        bne     bi_s
        bsr     rdbyte
        staa    BLKTYP
        bsr     rdbyte
        staa    BLKLEN
        tab
        adda    BLKTYP
        staa    CSUM
        ldx     CBUFAD
        tstb
        beq     bi_ck
bi_d:   bsr     rdbyte
        cpx     BLKEND
        bhi     bi_n            ; no room: the byte is read, not kept
        staa    0,x
bi_n:   inx
        adda    CSUM
        staa    CSUM
        decb
        bne     bi_d
bi_ck:  bsr     rdbyte
        suba    CSUM
        bne     bi_bad
        dex                     ; the block's last byte
        cpx     BLKEND
        bls     bi_x            ; A = 0: good
        ldaa    #2
        dc.b    $8C             ; cpx #: skips the next load
bi_bad: ldaa    #1
bi_x:   pulb
        pulx
        nega
        nega                    ; C set unless A is 0
        rts

; wrbyte: write A to the tape (A is used up); keeps B and X.
wrbyte: pshb
        ldab    #8
        stab    TBITS
wb_bit: ldab    #1
        stab    PORT2           ; high half starts
        ldab    #42
        bita    #1
        bne     wb_h
        ldab    #84
wb_h:   decb
        bne     wb_h
        stab    PORT2           ; low half starts (B = 0)
        lsra
        dec     TBITS
        beq     wb_lst
        ldab    #39
        bcs     wb_l
        ldab    #81
wb_l:   decb
        bne     wb_l
        bra     wb_bit
wb_lst: ldab    #32             ; the caller's next byte takes the rest
        bcs     wb_s
        ldab    #74
wb_s:   decb
        bne     wb_s
        pulb
        rts

; wrldr: 128 bytes of $55
wrldr:  pshb
        ldab    #128
wl_l:   ldaa    #$55
        bsr     wrbyte
        decb
        bne     wl_l
        pulb
        rts

; blkout: write the block BLKTYP, BLKLEN, CBUFAD
blkout: pshx
        pshb
        ldx     CBUFAD
        ldd     BLKTYP          ; and BLKLEN
        aba
        tstb
        beq     bo_c
bo_s:   adda    0,x
        inx
        decb
        bne     bo_s
bo_c:   staa    CSUM
        ldaa    #$55
        bsr     wrbyte
        ldaa    #$3C
        bsr     wrbyte
        ldaa    BLKTYP
        bsr     wrbyte
        ldaa    BLKLEN
        bsr     wrbyte
        ldx     CBUFAD
        ldab    BLKLEN
        beq     bo_e
bo_d:   ldaa    0,x
        inx
        bsr     wrbyte
        decb
        bne     bo_d
bo_e:   ldaa    CSUM
        bsr     wrbyte
        ldaa    #$55
        bsr     wrbyte
        pulb
        pulx
        rts

; wrhead: leader, the name block NAMBLK, silence, leader
wrhead: bsr     wrldr
        ldx     #NAMBLK
        stx     CBUFAD
        ldd     #15             ; type 0, 15 bytes
        std     BLKTYP
        bsr     blkout
        ldx     #0
wh_s:   dex
        bne     wh_s
        bra     wrldr

; wrdata: CNT bytes from CBUFAD in blocks of up to 255, then the end block
wrdata: ldd     CNT
        beq     wd_e
        tsta
        beq     wd_n
        ldab    #255
wd_n:   ldaa    #1
        std     BLKTYP
        bsr     blkout          ; keeps B, the length
        clra
        std     TMP
        addd    CBUFAD
        std     CBUFAD
        ldd     CNT
        subd    TMP
        std     CNT
        bra     wrdata
wd_e:   ldd     #$FF00          ; the end block: type $FF, empty
        std     BLKTYP
        jsr     blkout
        ldab    #1
        stab    PORT2           ; ends the last half period
        rts

; getfnm: optional "NAME" to SNAME, padded with blanks (all blank: any file);
; gfnm first skips the M of CSAVEM or CLOADM
gfnm:   jsr     chrget
getfnm: ldx     #SNAME
        ldd     #$2008          ; 8 blanks
gf_b:   staa    0,x
        inx
        decb
        bne     gf_b
        jsr     chrgot
        cmpa    #'"
        bne     gf_x
        ldx     TXTPTR          ; B = letters kept so far
gf_l:   inx
        ldaa    0,x
        beq     gf_e
        cmpa    #'"
        beq     gf_q
        cmpb    #8
        beq     gf_l            ; the rest of a long name is skipped
        pshx
        ldx     #SNAME
        abx
        staa    0,x
        pulx
        incb
        bra     gf_l
gf_q:   inx
gf_e:   stx     TXTPTR
gf_x:   rts

; findf: read name blocks until one matches SNAME (any when SNAME is 0)
findf:  ldx     #NAMBLK
        stx     CBUFAD
        ldx     #NAMBLK+14
        stx     BLKEND
        jsr     blkin
        bcs     findf
        tst     BLKTYP
        bne     findf
        ldaa    SNAME
        cmpa    #32
        beq     ff_ok           ; no name: any file
        ldx     #NAMBLK
ff_c:   ldaa    0,x
        cmpa    SNAME-NAMBLK,x
        bne     findf
        inx
        cpx     #NAMBLK+8
        bne     ff_c
ff_ok:  jsr     nlmsg
        dc.b    "FOUND ",0
        ldx     #NAMBLK
        ldab    #8
        jsr     outlen
        jmp     crlf

; rddata: data blocks to CBUFAD onwards until the end block
rddata: jsr     blkin
        bcs     rdd_e
        ldaa    BLKTYP
        inca
        beq     rdd_x           ; the end block
        cmpa    #2
        bne     rddata          ; only data blocks are kept
        ldab    BLKLEN
        clra
        addd    CBUFAD
        std     CBUFAD
        bra     rddata
rdd_x:  rts
rdd_e:  ldx     #ioerr          ; tclean returns to the error
        cmpa    #2
        bne     rdd_f
        ldx     #omerr
rdd_f:  pshx

; tclean: a failed BASIC load leaves an empty program
tclean: tst     LOADB
        beq     tc_x
        clr     LOADB
        jsr     donew
tc_x:   rts

tapbrk: jsr     rststk
        bsr     tclean          ; (nothing to clean after INPUT)
        clr     OLDTXT
        jmp     brkmsg

; ---- statements ----
csave:  cmpa    #'M
        beq     csavem
        jsr     getfnm
        ldx     #TXTTAB         ; the program text, type 0, no start address
        stx     CBUFAD
        ldd     VARTAB
        subd    #TXTTAB
        std     CNT
        clra
        clrb
        std     NB_EXEC
        bra     cs_go

csavem: jsr     gfnm            ; CSAVEM "NAME",first,last,exec: type 2
        bsr     comev
        std     CBUFAD
        bsr     comev
        subd    CBUFAD
        addd    #1
        std     CNT
        bsr     comev
        std     NB_EXEC
        ldaa    #2
cs_go:  staa    NB_TYPE
        ldx     #NAMBLK         ; the name given
cs_nm:  ldaa    SNAME-NAMBLK,x
        staa    0,x
        inx
        cpx     #NAMBLK+8
        bne     cs_nm
        clra
        clrb
        std     NB_ASC          ; and NB_GAP
        ldx     CBUFAD
        stx     NB_LOAD
        jsr     wrhead
        ldx     NB_LOAD
        stx     CBUFAD
        jmp     wrdata

; comev: a comma, then an address expression to D
comev:  jsr     chkcom
        jmp     eval

cload:  cmpa    #'M
        beq     cloadm
        jsr     getfnm
        jsr     findf
        ldaa    NB_TYPE
        bne     cm_fm
        inca
        staa    LOADB
        ldx     #TXTTAB
        stx     CBUFAD
        ldd     STRTAB          ; the program stays below the strings and the stack
        subd    #128
        std     BLKEND
        jsr     rddata
        clr     LOADB
        jsr     relink
        jsr     clrvar
        jsr     rststk          ; an old program's FOR and GOSUB are gone
        jmp     ready

cloadm: jsr     gfnm
        clra
        clrb
        std     OFFS
        jsr     chrgot
        cmpa    #',
        bne     cm_1
        bsr     comev
        std     OFFS
cm_1:   jsr     findf
        ldaa    NB_TYPE
        cmpa    #2
        beq     cm_2
cm_fm:  jmp     fmerr
cm_2:   ldd     NB_LOAD
        addd    OFFS
        std     CBUFAD
        ldd     NB_EXEC
        addd    OFFS
        std     EXECAD
        ldx     #$FFFF
        stx     BLKEND
        jmp     rddata

skipf:  jsr     getfnm
        jsr     findf
        clra                    ; keep nothing (findf left CBUFAD above 0)
        clrb
        std     BLKEND
sk_l:   jsr     blkin
        ldaa    BLKTYP
        inca
        bne     sk_l
        rts

; ---- printer: 600 baud on port 2 bit 0 ----
; per character: a 1, the start bit 0, 8 data bits (least significant
; first) and the stop bit 1, each 1491 cycles long. Keeps every register.
lpout:  pshx
        pshb
        psha
        tab
        tpa
        psha
        sei
        clra
        asld
        asld
        orab    #1
        oraa    #4
        std     LPFRM
        ldaa    #11
        staa    TBITS
lp_l:   ldd     LPFRM
        lsrd
        std     LPFRM
        ldab    #0
        rolb
        stab    PORT2
        ldx     #243
lp_d:   dex
        bne     lp_d
        brn     lp_d
        dec     TBITS
        bne     lp_l
        tsx
        ldaa    1,x
        cmpa    #13
        bne     lp_c
        clr     PRTCOL          ; and on: 13 is below 32
lp_c:   cmpa    #32
        blo     lp_x
        inc     PRTCOL
lp_x:   pula
        tap
        pula
        pulb
        pulx
        rts

; ---- sound: A = pitch 1-255 (higher is higher), B = length in 1/16 s ----
dosound: std    SPITCH          ; and SDUR
        tstb
        beq     sd_x
sd_u:   ldd     TIMER
        std     STIME
sd_l:   ldaa    LATSH
        eora    #$80
        staa    LATSH
        staa    LATCH
        ldab    SPITCH
        negb
sd_d:   nop
        nop
        decb
        bne     sd_d
        ldd     TIMER
        subd    STIME
        subd    #55930
        bcs     sd_l
        dec     SDUR
        bne     sd_u
        ldaa    LATSH
        anda    #$7F
        staa    LATSH
        staa    LATCH
sd_x:   rts
