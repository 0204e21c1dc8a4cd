; Expressions on 16-bit signed integers, variables and arrays, numbers.
; Every evaluator starts at the current character (TXTPTR) and returns the
; value in D with TXTPTR on the first character it did not use.

eval:   jsr     evand
ev_l:   pshb
        psha
        jsr     chrgot
        cmpa    #T_OR
        bne     evpop
        jsr     chrget
        jsr     evand
        tsx
        oraa    0,x
        orab    1,x
        ins
        ins
        bra     ev_l
evpop:  pula
        pulb
        rts

evand:  jsr     evnot
ea_l:   pshb
        psha
        jsr     chrgot
        cmpa    #T_AND
        bne     evpop
        jsr     chrget
        jsr     evnot
        tsx
        anda    0,x
        andb    1,x
        ins
        ins
        bra     ea_l

evnot:  jsr     chrgot
        cmpa    #T_NOT
        bne     evrel
        jsr     chrget
        jsr     evnot
        coma
        comb
        rts

; relations: any run of > = < tokens; true is -1, false 0
evrel:  jsr     evadd
er_l:   pshb
        psha
        jsr     chrgot
        cmpa    #T_GT
        blo     evpop
        cmpa    #T_LT
        bhi     evpop
        ldab    #0
er_op:  pshb
        suba    #T_GT
        ldab    #1
        tsta
        beq     er_m
        ldab    #2
        deca
        beq     er_m
        ldab    #4
er_m:   stab    RELOP
        pulb
        orab    RELOP
        pshb
        jsr     chrget
        pulb
        cmpa    #T_GT
        blo     er_r
        cmpa    #T_LT
        bls     er_op
er_r:   pshb
        jsr     evadd
        std     TMP
        pula
        staa    RELOP
        pula
        pulb
        subd    TMP
        blt     er_lt
        beq     er_eq
        ldab    #1
        bra     er_t
er_lt:  ldab    #4
        bra     er_t
er_eq:  ldab    #2
er_t:   andb    RELOP
        beq     er_f
        ldd     #$FFFF
        bra     er_l
er_f:   ldd     #0
        bra     er_l

evadd:  jsr     evmul
ead_l:  pshb
        psha
        jsr     chrgot
        cmpa    #T_PLUS
        beq     ead_p
        cmpa    #T_MINUS
        beq     *+5
        jmp     evpop
        jsr     chrget
        jsr     evmul
        std     TMP
        pula
        pulb
        subd    TMP
        bvs     overr2
        bra     ead_l
ead_p:  jsr     chrget
        jsr     evmul
        tsx
        addd    0,x
        bvs     overr2
        ins
        ins
        bra     ead_l
overr2: jmp     overr

evmul:  jsr     evneg
em_l:   pshb
        psha
        jsr     chrgot
        cmpa    #T_MUL
        beq     em_m
        cmpa    #T_DIV
        beq     *+5
        jmp     evpop
        jsr     chrget
        jsr     evneg
        std     TMP
        pula
        pulb
        std     TMP2
        jsr     idiv
        bra     em_l
em_m:   jsr     chrget
        jsr     evneg
        std     TMP
        pula
        pulb
        std     TMP2
        jsr     imul
        bra     em_l

evneg:  jsr     chrgot
        cmpa    #T_MINUS
        beq     en_m
        cmpa    #T_PLUS
        bne     evpow
        jsr     chrget
        bra     evneg
en_m:   jsr     chrget
        jsr     evneg
        coma
        comb
        addd    #1
        rts

evpow:  jsr     prim
ep_l:   pshb
        psha
        jsr     chrgot
        cmpa    #T_POW
        bne     evpop2
        jsr     chrget
        jsr     prim
        tsta
        bmi     fcerr3
        std     CNT
        pula
        pulb
        std     TMP3
        ldd     #1
ep_lp:  ldx     CNT
        beq     ep_l
        dex
        stx     CNT
        std     TMP2
        ldd     TMP3
        std     TMP
        jsr     imul
        bra     ep_lp
evpop2: pula
        pulb
        rts
fcerr3: jmp     fcerr

; imul: D = TMP2 * TMP, signed, ?OV when it does not fit
imul:   clr     NEGFLG
        ldd     TMP2
        bpl     im_1
        jsr     negd
        std     TMP2
        com     NEGFLG
im_1:   ldd     TMP
        bpl     im_2
        jsr     negd
        std     TMP
        com     NEGFLG
im_2:   ldaa    TMP2
        beq     im_a0
        tst     TMP
        beq     *+5
        jmp     overr2
        ldab    TMP+1
        mul
        tsta
        beq     *+5
        jmp     overr2
        bra     im_c
im_a0:  ldaa    TMP
        ldab    TMP2+1
        mul
        tsta
        beq     *+5
        jmp     overr2
im_c:   stab    MULTMP
        ldaa    TMP2+1
        ldab    TMP+1
        mul
        adda    MULTMP
        bcc     *+5
        jmp     overr2
        tst     NEGFLG
        bne     im_n
        tsta
        bpl     *+5
        jmp     overr2
        rts
im_n:   jsr     negd
        beq     im_x
        bmi     *+5
        jmp     overr2
im_x:   rts

negd:   coma
        comb
        addd    #1
        rts

; idiv: D = TMP2 / TMP, signed, truncated; remainder of the magnitudes in TMP3
idiv:   ldd     TMP
        bne     dv_0
        jmp     dzerr
dv_0:   clr     NEGFLG
        bpl     dv_1
        jsr     negd
        std     TMP
        com     NEGFLG
dv_1:   ldd     TMP2
        bpl     dv_2
        jsr     negd
        std     TMP2
        com     NEGFLG
dv_2:   ldd     #0
        std     TMP3
        ldaa    #16
        staa    MULTMP
dv_l:   asl     TMP2+1
        rol     TMP2
        rol     TMP3+1
        rol     TMP3
        ldd     TMP3
        subd    TMP
        bcs     dv_n
        std     TMP3
        inc     TMP2+1
dv_n:   dec     MULTMP
        bne     dv_l
        ldd     TMP2
        tst     NEGFLG
        beq     dv_x
        jsr     negd
dv_x:   rts

; ---- primaries ----
prim:   jsr     chrgot
        bcs     getnum
        cmpa    #'(
        beq     pm_par
        tsta
        bmi     pm_fn
        cmpa    #'A
        blo     pm_bad
        cmpa    #'Z
        bhi     pm_bad
        jsr     getvar
        ldd     0,x
        rts
pm_bad: cmpa    #'"
        bne     snerr6
        jmp     tmerr
snerr6: jmp     snerr
pm_par: jmp     parexp

; getnum: unsigned decimal digits at TXTPTR to D (0-65535)
getnum: ldd     #0
        std     TMP
        jsr     chrgot
gn_l:   bcc     gn_x
        suba    #'0
        staa    MULTMP
        ldd     TMP
        asld
        bcs     gn_ov
        std     TMP2
        asld
        bcs     gn_ov
        asld
        bcs     gn_ov
        addd    TMP2
        bcs     gn_ov
        addb    MULTMP
        adca    #0
        bcs     gn_ov
        std     TMP
        jsr     chrget
        bra     gn_l
gn_x:   ldd     TMP
        rts
gn_ov:  jmp     overr

; parexp: "(expression)" to D
parexp: jsr     chkopn
        jsr     eval
        pshb
        psha
        jsr     chkcls
        pula
        pulb
        rts

; evbyte: expression 0-255 to B
evbyte: jsr     eval
        tsta
        beq     *+5
        jmp     fcerr3
        rts

pm_fn:  cmpa    #T_MEM
        beq     fn_mem
        cmpa    #T_POINT
        beq     fn_pnt
        cmpa    #T_VARPTR
        beq     fn_vp
        cmpa    #T_SGN
        blo     snerr6
        cmpa    #T_PEEK
        bhi     snerr6
        psha
        jsr     chrget
        jsr     parexp
        std     TMP
        pula
        cmpa    #T_SGN
        beq     fn_sgn
        cmpa    #T_INT
        beq     fn_int
        cmpa    #T_ABS
        beq     fn_abs
        cmpa    #T_USR
        beq     fn_usr
        cmpa    #T_RND
        beq     fn_rnd
        cmpa    #T_PEEK
        beq     fn_pk
        jmp     snerr6
fn_sgn: ldd     TMP
        beq     fs_x
        bmi     fs_m
        ldd     #1
        rts
fs_m:   ldd     #-1
fs_x:   rts
fn_int: ldd     TMP
        rts
fn_abs: ldd     TMP
        bpl     fs_x
        jmp     negd
fn_usr: ldd     TMP
        std     FAC
        ldx     EXECAD
        jsr     0,x
        ldd     FAC
        rts
fn_pk:  ldx     TMP
        ldab    0,x
        clra
        rts
fn_mem: jsr     chrget
        sts     TMP
        ldd     TMP
        subd    ARYEND
        rts
fn_vp:  jsr     chrget
        jsr     chkopn
        jsr     getvar
        pshx
        jsr     chkcls
        pula
        pulb
        rts
fn_pnt: jsr     chrget
        jsr     setxyc
        bmi     fp_g
        ldd     #-1             ; a text character
        rts
fp_g:   stab    TMP
        bita    TMP
        beq     fp_0
        lsra
        lsra
        lsra
        lsra
        anda    #7
        tab
        incb
        clra
        rts
fp_0:   ldd     #0
        rts

; RND(n): 1..n for n >= 1; RND(0): 0..32767; RND(-n) restarts the sequence
fn_rnd: ldd     TMP
        bpl     rn_1
        std     SEED
        ldd     #0
        rts
rn_1:   ldaa    SEED+1          ; SEED = SEED * $6255 + $3619
        ldab    #$55
        mul
        std     TMP3
        ldaa    SEED
        ldab    #$55
        mul
        addb    TMP3
        stab    TMP3
        ldaa    SEED+1
        ldab    #$62
        mul
        addb    TMP3
        stab    TMP3
        ldd     TMP3
        addd    #$3619
        std     SEED
        ldaa    SEED+1          ; the high bits make the better low ones
        ldab    SEED
        anda    #$7F
        ldx     TMP
        beq     rn_x
        std     TMP2
        jsr     idiv
        ldd     TMP3
        addd    #1
rn_x:   rts

; ---- variables ----
; getnam: variable name at TXTPTR to VNAME; A = the character after it
getnam: jsr     chrgot
        cmpa    #'A
        bhs     *+5
        jmp     snerr6
        cmpa    #'Z
        bls     *+5
        jmp     snerr6
        staa    VNAME
        clr     VNAME+1
        jsr     chrget
        bcs     gn_2
        cmpa    #'A
        blo     gn_e
        cmpa    #'Z
        bhi     gn_e
gn_2:   staa    VNAME+1
gn_s:   jsr     chrget
        bcs     gn_s
        cmpa    #'A
        blo     gn_e
        cmpa    #'Z
        bls     gn_s
gn_e:   cmpa    #'$
        bne     gn_r
        jmp     tmerr
gn_r:   rts

; getvar: X = address of the variable or array element at TXTPTR
getvar: bsr     getnam
        cmpa    #'(
        beq     gv_arr
        ldx     VARTAB
gv_l:   cpx     ARYTAB
        beq     gv_new
        ldd     0,x
        subd    VNAME
        beq     gv_f
        inx
        inx
        inx
        inx
        bra     gv_l
gv_f:   inx
        inx
        rts
gv_new: ldd     ARYEND          ; a new variable: the arrays move up
        addd    #4
        jsr     memchk
        ldd     ARYEND
        std     SRC
        subd    ARYTAB
        std     CNT
        ldd     ARYEND
        addd    #4
        std     DST
        std     ARYEND
        jsr     bmovu
        ldx     ARYTAB
        ldd     VNAME
        std     0,x
        clr     2,x
        clr     3,x
        ldd     ARYTAB
        addd    #4
        std     ARYTAB
        inx
        inx
        rts
gv_arr: ldd     VNAME
        pshb
        psha
        jsr     chrget
        jsr     eval
        pshb
        psha
        jsr     chkcls
        pula
        pulb
        std     TMP3
        pula
        pulb
        std     VNAME
        jsr     fndarr
        bcs     ga_f
        ldd     #11             ; first use: ten elements and zero
        jsr     mkarr
ga_f:   ldd     TMP3
        subd    2,x
        bcs     ga_ok
        jmp     bserr
ga_ok:  ldd     TMP3
        asld
        addd    #4
        std     TMP
        stx     TMP2
        addd    TMP2
        std     TMP
        ldx     TMP
        rts

; fndarr: X = the array named VNAME; C set when found
fndarr: ldx     ARYTAB
fa_l:   cpx     ARYEND
        beq     fa_no
        ldd     0,x
        subd    VNAME
        beq     fa_y
        ldd     2,x
        asld
        addd    #4
        stx     TMP2
        addd    TMP2
        std     TMP2
        ldx     TMP2
        bra     fa_l
fa_y:   sec
        rts
fa_no:  clc
        rts

; mkarr: new array VNAME of D elements at ARYEND; X = it
mkarr:  std     ACNT
        asld
        bcs     mk_om
        addd    #4
        bcs     mk_om
        addd    ARYEND
        bcs     mk_om
        std     DST
        jsr     memchk
        ldx     ARYEND
        ldd     VNAME
        std     0,x
        ldd     ACNT
        std     2,x
        inx
        inx
        inx
        inx
mk_z:   cpx     DST
        beq     mk_e
        clr     0,x
        inx
        bra     mk_z
mk_e:   ldx     ARYEND
        ldd     DST
        std     ARYEND
        rts
mk_om:  jmp     omerr

; memchk: ?OM unless D stays clear of the stack
memchk: addd    #80
        bcs     mk_om
        std     TMP
        sts     TMP2
        subd    TMP2
        bcc     mk_om
        rts

dim:    jsr     getnam
        cmpa    #'(
        beq     *+5
        jmp     snerr6
        jsr     chrget
        jsr     eval
        pshb
        psha
        jsr     chkcls
        pula
        pulb
        addd    #1
        bpl     *+5
        jmp     fcerr3
        pshb
        psha
        jsr     fndarr
        bcc     dm_new
        jmp     dderr
dm_new: pula
        pulb
        jsr     mkarr
        jsr     chrgot
        cmpa    #',
        bne     dm_x
        jsr     chrget
        bra     dim
dm_x:   rts

; the USR argument/result for machine-language routines
intcnv: ldd     FAC
        rts
givabf: std     FAC
        rts
