; Screen output and keyboard input.
;
; RAM used: CURPOS, DEVNUM, PRTCOL (screen and printer position), KEYLST (the
; matrix key held at the last poll), KWPTR (CTRL keyword being typed), KCOL,
; KBUF with KBIN/KBOUT (keys typed while a program runs), and the fixed cells
; CASEFLG, DEBNCE, LASTCH, CURCHR.
;
; putchr  A to the screen or printer; keeps every register
; outmsg  prints the 0-terminated text after the call; outstr the text at X
; crlf, outspc, newlin, getcol (B = column of the current device)
; keyin   one keyboard poll: A = new character, 3 for BREAK, 0 (Z) none
; polcat  A = next character typed (buffered keys first), Z set when none
; getkey  waits for a character with the cursor blinking; C set for BREAK
; brkchk  C set when BREAK is pressed; keeps other keys for later
; inline  reads a line into BUF; C set on BREAK

BLINK   equ     2040            ; polls of getkey per cursor phase, about 1/3 s

; scrout: the text screen. CR goes to the next line, 8 deletes the last cell,
; other control codes are ignored; lower-case letters show inverse, codes of
; 0x80 and above are semigraphic blocks stored as they are.
scrout: pshx
        pshb
        psha
        ldx     CURPOS
        cmpa    #13
        bne     so_1
        ldab    CURPOS+1        ; on past the line's last cell
        comb
        andb    #31
        abx
        bra     so_inx
so_1:   cmpa    #8
        bne     so_2
        cpx     #SCREEN
        beq     so_x
        dex
        ldab    #$60
        stab    0,x
        bra     so_chk
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
so_inx: inx
so_chk: stx     CURPOS
        cpx     #SCREND
        blo     so_x
        ldx     #SCREEN         ; off the bottom: scroll up a line
sc_l:   ldaa    32,x
        staa    0,x
        inx
        cpx     #SCREND-32
        bne     sc_l
        ldaa    #$60
        bsr     cl_l
        ldd     CURPOS
        subd    #32
        std     CURPOS
so_x:   pula
        pulb
        pulx
        rts

; cls0 blanks the screen; clsa fills it with A. Both home the cursor.
cls0:   ldaa    #$60
clsa:   ldx     #SCREEN
        stx     CURPOS
cl_l:   staa    0,x
        inx
        cpx     #SCREND
        bne     cl_l
        rts

; ---- putchr: print A on the current device; keeps every register ----
putchr: tst     DEVNUM
        beq     scrout
        jmp     lpout

; nlmsg: newlin, then outmsg; outmsg: print the zero-terminated text that
; follows the call
nlmsg:  bsr     newlin
outmsg: pulx
        bsr     outstr
        jmp     1,x

; outstr: print the zero-terminated text at X; X is left at the 0
outstr: ldaa    0,x
        beq     os_e
        bsr     putchr
        inx
        bra     outstr
os_e:   rts

crlf:   ldaa    #13
        bra     putchr

outspc: ldaa    #32             ; A = 32 after (every caller loads A anew)
        bra     putchr

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

; ---- keyboard ----
; kscan: B = the matrix key held (row * 8 + column, the first column found
; wins), $FF for none; leaves no column strobed. Keeps X.
kscan:  ldab    #$FE
        clr     KCOL
ks_col: stab    PORT1
        ldaa    KBROW
        coma
        anda    #$3F
        bne     ks_hit
        inc     KCOL
        sec
        rolb
        bcs     ks_col          ; after column 7, B is $FF
        bra     ks_x
ks_hit: ldab    KCOL
        subb    #8
ks_row: addb    #8
        lsra
        bcc     ks_row
ks_x:
csrdon: ldaa    #$FF            ; (the tape entry point: no column strobed)
        staa    PORT1
        rts

; p2col: strobe the columns in A, A = port 2 bit 1 (0, Z: held)
p2col:  staa    PORT1
        ldaa    PORT2
        anda    #2
        rts

; anykey: Z set when no key of the matrix is down; no column left strobed
anykey: clr     PORT1
        ldaa    KBROW
        com     PORT1
        oraa    #$C0
        inca
        rts

; keyin: one poll of the matrix. Exactly one read of port 2 with column 2
; strobed (BREAK, and the pace of Quick Type), then the matrix, then CTRL
; (column 0) and SHIFT (column 7) on port 2 without column 2. A key counts
; once when it goes down, and only when it is still down after the debounce
; delay DEBNCE. Returns A = character, token of a CTRL keyword, or 3 for
; BREAK; A = 0 with Z set when nothing new. Keeps X and B.
keyin:  pshx
        pshb
        ldab    #$FE            ; BREAK comes first
        ldaa    #$FB
        bsr     p2col
        beq     ki_got
        ldab    #$FF
        bsr     anykey          ; any key at all?
        beq     ki_got
        bsr     kscan
        cmpb    KEYLST
        beq     ki_non          ; still the same key
        ldx     DEBNCE
        beq     ki_db
ki_dl:  dex
        bne     ki_dl
ki_db:  pshb
        bsr     kscan
        pula
        cba
        bne     ki_non          ; it did not stay down: look again next time
ki_got: cmpb    KEYLST
        beq     ki_non
        stab    KEYLST
        ldaa    #3
        cmpb    #$FE
        beq     ki_ret          ; BREAK
        bhi     ki_non          ; no key
        ldaa    #$FE            ; CTRL (column 0)
        bsr     p2col
        beq     ki_ctl
        ldaa    #$7F            ; SHIFT (column 7)
        bsr     p2col
        staa    KCOL            ; 0: SHIFT held
        cmpb    #27
        bhs     ki_tab          ; ENTER, SPACE, digits and signs
        tsta
        beq     ki_sh
        ldaa    #'@             ; a plain letter (or @)
        aba
        tstb
        beq     ki_chr
        ldab    CASEFLG
        lsrb
        bcs     ki_chr
ki_a20: adda    #$20            ; lower-case mode
        bra     ki_chr
ki_tab: cmpb    #32
        bhs     ki_dg
        ldaa    #13             ; 30 ENTER, 31 SPACE (27-29 are not keys)
        cmpb    #30
        beq     ki_chr
        clra
        bra     ki_a20
ki_dg:  tba                     ; keys 32-43 give '0'-';' alone and
        ldab    KCOL            ; ' '-'+' with SHIFT; keys 44-47 give
        bne     ki_d0           ; ',-./' alone and '<=>?' with SHIFT
        cmpa    #32             ; SHIFT+0 toggles the case mode
        beq     ki_cas
ki_d0:  cmpa    #44
        bhs     ki_d1
        eorb    #2
ki_d1:  tstb
        bne     ki_chr
        adda    #16
        bra     ki_chr
ki_cas: ldaa    CASEFLG
        eora    #1
        staa    CASEFLG
ki_non: clra                    ; on through ki_chr's test
ki_chr: tsta
        beq     ki_ret
        staa    LASTCH
ki_ret: ldab    #$FF            ; no column strobed
        stab    PORT1
ki_pop: pulb
        pulx
        tsta
        rts
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
        bpl     ki_chr
        bsr     kwfind          ; a keyword: polcat types its letters
        stx     KWPTR
        bra     ki_non
ki_sh:  tstb                    ; SHIFT+@: nothing
        beq     ki_non
        ldaa    CASEFLG
        lsra
        bcs     ki_gfx
        ldaa    #'@             ; lower-case mode: SHIFT gives upper case
        aba
        bra     ki_chr
ki_gfx: ldx     #kt_gfx-1
        abx
        ldaa    0,x
        bmi     ki_shl
        ldab    CURCHR          ; graphic block in the current colour
        andb    #$70
        aba
        oraa    #$80
        bra     ki_chr
ki_shl: addb    #$60            ; no block on this key: lower case
        tba
        bra     ki_chr

; polcat: A = next character typed (CTRL keywords come out letter by letter,
; keys typed while a program ran come first), Z set when there is none.
; Keeps B and X.
polcat: pshx
        pshb
        ldx     KWPTR
        bne     pc_kw
        ldab    KBOUT
        cmpb    KBIN
        beq     pc_key
        ldx     #KBUF
        abx
        ldaa    0,x
        incb
        andb    #15
        stab    KBOUT
        bra     pc_ret
pc_key: jsr     keyin
        ldx     KWPTR
        beq     pc_ret
pc_kw:  ldaa    0,x
        inx                     ; keeps N
        bpl     pc_k2
        ldx     #0
pc_k2:  stx     KWPTR
        anda    #$7F
pc_ret: bra     ki_pop

; kwfind: X = keyword name of token A
kwfind: pshb
        ldx     #kwtab
        tab
kf_l:   cmpb    #$80
        beq     kf_x
kf_s:   ldaa    0,x
        inx                     ; keeps N
        bpl     kf_s
        decb
        bra     kf_l
kf_x:   pulb
        rts

; getkey: wait for a character with the cursor blinking; the blink is timed
; by counting polls. C set for BREAK. Keeps B and X.
getkey: pshx
gk_on:  ldaa    CURCHR
gk_sh:  ldx     CURPOS
        staa    0,x
        ldx     #BLINK
gk_l:   bsr     polcat
        bne     gk_key
        dex
        bne     gk_l
        ldx     CURPOS          ; the next phase
        ldaa    #$60
        cmpa    0,x
        beq     gk_on
        bra     gk_sh
gk_key: ldx     CURPOS
        psha
        ldaa    #$60
        staa    0,x
        pula
        pulx
        cmpa    #4              ; C for BREAK: no key gives 1 or 2
        rts

; brkchk: C set when BREAK is pressed (and not disabled). One keyboard poll;
; any other key is kept for the line editor (15 at most). With the buffer
; full a new key stays unread, and while a key is held the keyboard is not
; polled at all, so Quick Type waits instead of losing keys. Keeps A, B, X.
brkchk: pshx
        pshb
        psha
        ldx     #KBUF           ; X = the free slot
        ldab    KBIN
        abx
        incb
        andb    #15
        cmpb    KBOUT
        bne     bc_pol
        jsr     anykey          ; full: any key held?
        bne     bc_no
bc_pol: jsr     keyin           ; keeps B: the slot after the next, and X
        beq     bc_no
        cmpa    #3
        beq     bc_brk
        cmpb    KBOUT
        beq     bc_ful
        staa    0,x
        stab    KBIN
        bra     bc_no
bc_ful: ldaa    #$FF            ; no room: forget the key, it counts again later
        staa    KEYLST
bc_no:  clc
bc_x:   pula
        pulb
        pulx
        rts
bc_brk: tst     BRKDIS
        bne     bc_no
        sec
        bra     bc_x

; inline: read a line into BUF (0-terminated), echoing it. C set on BREAK.
inline: ldx     #BUF
il_l:   bsr     getkey
        bcs     il_brk
        cmpa    #13
        beq     il_end
        cmpa    #8
        beq     il_bs
        cmpa    #$15
        beq     il_bs
        cmpa    #$20
        blo     il_l
        cpx     #BUFEND-1
        bhs     il_l
        staa    0,x
        inx
        jsr     putchr
        bra     il_l
il_bs:  cpx     #BUF            ; 8 erases a cell, $15 the whole line
        beq     il_l
        dex
        psha
        ldaa    #8
        jsr     putchr
        pula
        cmpa    #$15
        beq     il_bs
        bra     il_l
il_brk: bsr     il_end
        sec
        rts
il_end: clr     0,x
        jsr     crlf
        clc
        rts
