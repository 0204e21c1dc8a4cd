; Screen output and keyboard input.

; ---- putchr: print A on the current device; keeps every register ----
putchr: tst     DEVNUM
        beq     scrout
        jmp     lpout

; scrout: the text screen. CR goes to the next line, 8 deletes the last cell,
; other control codes are ignored; lower-case letters show inverse, codes of
; 0x80 and above are semigraphic blocks stored as they are.
scrout: pshx
        pshb
        psha
        ldx     CURPOS
        cmpa    #13
        bne     so_1
        ldd     CURPOS
        andb    #$E0
        addd    #32
        std     CURPOS
        bra     so_chk
so_1:   cmpa    #8
        bne     so_2
        cpx     #SCREEN
        beq     so_x
        dex
        ldab    #$60
        stab    0,x
        stx     CURPOS
        bra     so_x
so_2:   tsta
        bmi     so_put
        cmpa    #$20
        blo     so_x
        cmpa    #$60
        blo     so_nrm
        anda    #$1F            ; lower case: the inverse capital
        bra     so_put
so_nrm: anda    #$3F
        oraa    #$40
so_put: staa    0,x
        inx
        stx     CURPOS
so_chk: ldx     CURPOS
        cpx     #SCREND
        blo     so_x
        bsr     scroll
so_x:   pula
        pulb
        pulx
        rts

scroll: ldx     #SCREEN
sc_l:   ldaa    32,x
        staa    0,x
        inx
        cpx     #SCREND-32
        bne     sc_l
        ldaa    #$60
sc_f:   staa    0,x
        inx
        cpx     #SCREND
        bne     sc_f
        ldd     CURPOS
        subd    #32
        std     CURPOS
        rts

; cls0: fill the screen with A... cls0 blanks it; clsa fills with A.
cls0:   ldaa    #$60
clsa:   ldx     #SCREEN
        stx     CURPOS
cl_l:   staa    0,x
        inx
        cpx     #SCREND
        bne     cl_l
        rts

; outmsg: print the zero-terminated text that follows the call
outmsg: pulx
om_l:   ldaa    0,x
        inx
        tsta
        beq     om_e
        jsr     putchr
        bra     om_l
om_e:   jmp     0,x

; outstr: print the zero-terminated text at X
outstr: ldaa    0,x
        beq     os_e
        jsr     putchr
        inx
        bra     outstr
os_e:   rts

crlf:   ldaa    #13
        jmp     putchr

outspc: psha
        ldaa    #32
        jsr     putchr
        pula
        rts

; getcol: B = column of the current device
getcol: ldab    PRTCOL
        tst     DEVNUM
        bne     gc_x
        ldab    CURPOS+1
        andb    #31
gc_x:   rts

; newlin: start a new line unless already at the start of one
newlin: bsr     getcol
        tstb
        beq     gc_x
        bra     crlf

; ---- keyboard ----
; keyin: one poll of the matrix. Exactly one read of port 2 with column 2
; strobed (BREAK, and the pace of Quick Type), then the 8 columns, then SHIFT
; (column 7) and CTRL (column 0) on port 2 without column 2. A key counts
; once when it goes down. Returns A = character, token of a CTRL keyword, or
; 3 for BREAK; A = 0 with Z set when nothing new. Keeps X and B.
keyin:  pshx
        pshb
        ldaa    #$FB
        staa    PORT1
        ldaa    PORT2
        anda    #2
        staa    KTMP            ; 0 = BREAK held
        clr     PORT1           ; any key at all?
        ldaa    KBROW
        oraa    #$C0
        ldab    #$FF
        cmpa    #$FF
        bne     ki_scn
        tst     KTMP
        bne     ki_got
ki_scn: ldab    #$FE
        clr     KCOL
ki_col: stab    PORT1
        ldaa    KBROW
        coma
        anda    #$3F
        bne     ki_hit
        inc     KCOL
        sec
        rolb
        bcs     ki_col
        ldab    #$FF
        bra     ki_got
ki_hit: clrb
ki_row: lsra
        bcs     ki_rf
        addb    #8
        bra     ki_row
ki_rf:  addb    KCOL
ki_got: tst     KTMP
        bne     ki_nb
        ldab    #$FE
ki_nb:  ldaa    #$FF
        staa    PORT1
        cmpb    KEYLST
        beq     ki_non
        stab    KEYLST
        cmpb    #$FF
        beq     ki_non
        cmpb    #$FE
        bne     ki_key
        ldaa    #3
        jmp     ki_ret
ki_key: clr     KCOL            ; modifiers: bit 0 SHIFT, bit 1 CTRL
        ldaa    #$7F
        staa    PORT1
        ldaa    PORT2
        bita    #2
        bne     ki_ns
        inc     KCOL
ki_ns:  ldaa    #$FE
        staa    PORT1
        ldaa    PORT2
        bita    #2
        bne     ki_nc
        ldaa    KCOL
        oraa    #2
        staa    KCOL
ki_nc:  ldaa    #$FF
        staa    PORT1
        ldaa    KCOL
        bita    #2
        bne     ki_ctl
        bita    #1
        bne     ki_sh
        ; plain key
        cmpb    #32
        bhs     ki_dig
        cmpb    #27
        bhs     ki_sp
        tstb
        beq     ki_at
        addb    #'@
        ldaa    CASEFLG
        bita    #1
        bne     ki_tb
        addb    #$20            ; lower-case mode
ki_tb:  tba
        jmp     ki_chr
ki_at:  ldaa    #'@
        bra     ki_chr
ki_sp:  ldaa    #13
        cmpb    #30
        beq     ki_chr
        ldaa    #32
        cmpb    #31
        beq     ki_chr
ki_non: clra
        bra     ki_ret
ki_dig: ldx     #kt_dig-32
        abx
        ldaa    0,x
        bra     ki_chr
ki_ctl: cmpb    #32             ; CTRL+0 steps the colour
        bne     ki_ct2
        ldaa    CURCHR
        adda    #$10
        anda    #$70
        oraa    #$8F
        staa    CURCHR
        bra     ki_non
ki_ct2: ldx     #kt_ctl
        abx
        ldaa    0,x
        beq     ki_ret
        bpl     ki_chr
        jsr     kwfind          ; a keyword: polcat types its letters
        stx     KWPTR
        bra     ki_non
ki_sh:  cmpb    #32             ; SHIFT+0 toggles the case mode
        bne     ki_sh2
        ldaa    CASEFLG
        eora    #1
        staa    CASEFLG
        bra     ki_non
ki_sh2: bhi     ki_shd
        cmpb    #27
        bhs     ki_sp
        tstb
        beq     ki_non
        ldaa    CASEFLG
        bita    #1
        beq     ki_shu          ; lower-case mode: SHIFT gives upper case
        ldx     #kt_gfx-1
        abx
        ldaa    0,x
        bmi     ki_shl
        staa    KCOL
        ldaa    CURCHR          ; graphic block in the current colour
        anda    #$70
        oraa    #$80
        oraa    KCOL
        bra     ki_chr
ki_shl: addb    #$60            ; no block on this key: lower case
        tba
        bra     ki_chr
ki_shu: addb    #'@
        tba
        bra     ki_chr
ki_shd: ldx     #kt_shd-32
        abx
        ldaa    0,x
ki_chr: staa    LASTCH
ki_ret: pulb
        pulx
        tsta
        rts

kt_dig: dc.b    "0123456789:;,-./"
kt_shd: dc.b    0,"!",$22,"#$%&'()*+<=>?"
; SHIFT+letter in upper-case mode: pattern of the block (15 - graphic number)
kt_gfx: dc.b    9,0,2,7,13,6,5,$FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF
        dc.b    15,12,8,11,$FF,1,14,3,10,4
; CTRL+key: keyword tokens and editing codes, by key number
kt_ctl: dc.b    0,8,T_ABS,T_INT,T_GOSUB,T_SET,T_RETURN,T_IF
        dc.b    T_THEN,T_NEXT,T_GOTO,T_SOUND,T_PEEK,T_COS,T_SIN,T_STEP
        dc.b    T_INKEYS,$15,T_RESET,9,T_READ,T_FOR,T_RND,'^
        dc.b    T_SGN,T_RESTORE,10,0,0,0,0,0
        dc.b    0,T_RUN,T_CONT,T_CSAVE,T_CLOAD,T_NEW,T_LIST,T_CLEAR
        dc.b    T_CLS,T_PRINT,T_END,T_POKE,T_TAN,T_STOP,T_LOG,T_SQR

; polcat: A = next character typed (CTRL keywords come out letter by letter,
; keys typed while a program ran come first), Z set when there is none.
; Keeps B and X.
polcat: pshx
        ldx     KWPTR
        bne     pc_kw
        pshb
        ldab    KBOUT
        cmpb    KBIN
        beq     pc_key
        ldx     #KBUF
        abx
        ldaa    0,x
        incb
        andb    #15
        stab    KBOUT
        pulb
        pulx
        tsta
        rts
pc_key: pulb
        jsr     keyin
        ldx     KWPTR
        bne     pc_kw
        pulx
        tsta
        rts
pc_kw:  ldaa    0,x
        inx
        tsta
        bpl     pc_k2
        ldx     #0
pc_k2:  stx     KWPTR
        pulx
        anda    #$7F
        rts

; kwfind: X = keyword name of token A
kwfind: pshb
        ldx     #kwtab
        tab
kf_l:   cmpb    #$80
        beq     kf_x
kf_s:   ldaa    0,x
        inx
        tsta
        bpl     kf_s
        decb
        bra     kf_l
kf_x:   pulb
        rts

; getkey: wait for a character with the cursor shown. C set for BREAK.
getkey: pshx
        ldx     CURPOS
        ldaa    CURCHR
        staa    0,x
gk_l:   jsr     polcat
        beq     gk_l
        psha
        ldaa    #$60
        staa    0,x
        pula
        pulx
        cmpa    #3
        beq     gk_b
        clc
        rts
gk_b:   sec
        rts

; brkchk: C set when BREAK is pressed (and not disabled). One keyboard poll;
; any other key is kept for the line editor (16 at most).
brkchk: psha
        jsr     keyin
        beq     bc_no
        cmpa    #3
        beq     bc_brk
        pshx
        pshb
        ldab    KBIN
        ldx     #KBUF
        abx
        staa    0,x
        incb
        andb    #15
        cmpb    KBOUT
        beq     bc_ful
        stab    KBIN
bc_ful: pulb
        pulx
bc_no:  pula
        clc
        rts
bc_brk: tst     BRKDIS
        bne     bc_no
        pula
        sec
        rts

; inline: read a line into BUF (0-terminated), echoing it. C set on BREAK.
inline: ldx     #BUF
il_l:   jsr     getkey
        bcs     il_brk
        cmpa    #13
        beq     il_end
        cmpa    #8
        beq     il_bs
        cmpa    #$15
        beq     il_del
        cmpa    #$20
        blo     il_l
        cpx     #BUFEND-1
        bhs     il_l
        staa    0,x
        inx
        jsr     putchr
        bra     il_l
il_bs:  cpx     #BUF
        beq     il_l
        dex
        jsr     putchr
        bra     il_l
il_del: cpx     #BUF
        beq     il_l
        dex
        ldaa    #8
        jsr     putchr
        bra     il_del
il_brk: clr     0,x
        jsr     crlf
        sec
        rts
il_end: clr     0,x
        jsr     crlf
        clc
        rts
