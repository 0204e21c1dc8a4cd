; Expressions, variables, arrays and the functions. A number is a float in the
; floating accumulator (FAC, float.asm); a string is a descriptor: SLEN, SADR.
; VALTYP tells which: 0 a number, $FF a string. Every evaluator starts at the
; current character (TXTPTR) and leaves TXTPTR on the first one it did not use.

STKMRG  equ     120             ; stack bytes kept free below every growth check

; ---- type checks and the integer forms ----
chknum: ldab    VALTYP          ; (A and X kept)
        beq     ck_x
tmerr2: jmp     tmerr
chkstr: ldab    VALTYP
        beq     tmerr2
ck_x:   rts

evnum:  bsr     frmevl
        bra     chknum
; evint: a numeric expression to D (-32768..32767)
evint:  bsr     evnum
        jmp     fptod
; eval: an expression used as an address (-32768..65535) to D
eval:   bsr     evnum
        jmp     fptoad
; evbyte: an expression 0..255 to B
evbyte: bsr     evint
        tsta
        beq     ck_x
fcerr3: jmp     fcerr

; ---- the evaluator: operators by precedence, left to right ----
; Stack while the right operand is evaluated: type, left value (5), operator,
; its precedence, the caller's precedence.
frmevl: clrb
evprec: pshb                    ; the lowest precedence this call takes
        jsr     stkchk          ; room for one more level?
        jsr     primary
        bra     ev_lp
ev_x:   ins
        rts
ev_lp:  jsr     chrgot
        suba    #T_PLUS         ; (anything below wraps round: too big)
        cmpa    #T_LT-T_PLUS
        bhi     ev_x
        tab
        ldx     #prctab
        abx
        ldaa    0,x
        tsx
        cmpa    0,x
        bls     ev_x            ; the caller's operator binds first
        psha
        cmpb    #T_GT-T_PLUS
        bhs     ev_rel
        pshb
        jsr     chrget
        bra     ev_go
ev_rel: subb    #T_GT-T_PLUS-1  ; > = < in any run: a mask of 1, 2, 4
        ldaa    #$80
        staa    RELOP
ev_rl:  cmpb    #3              ; (1 2 3 become 1 2 4)
        sbcb    #$FF
        orab    RELOP
        stab    RELOP
        jsr     chrget
        suba    #T_GT
        cmpa    #2
        bhi     ev_rd
        tab
        incb
        bra     ev_rl
ev_rd:  ldaa    RELOP
        psha
ev_go:  bsr     fppush          ; (a string leaves the slot unused)
        ldab    VALTYP
        beq     ev_pt
        jsr     tspush
ev_pt:  ldaa    VALTYP
        psha
        tsx
        ldab    7,x
        bsr     evprec          ; the right operand
        pula
        cmpa    VALTYP
        bne     tmerr4
        tsx
        ldab    5,x
        stab    RELOP
        tsta
        bne     ev_str
        jsr     fpldarg
        ldab    RELOP
        bmi     ev_cmp
        aslb
        ldx     #optab
        abx
        ldx     0,x
        jsr     0,x
ev_drp: pulx
        pulx
        pulx
        ins
        bra     ev_lp
tmerr4: jmp     tmerr
ev_cmp: jsr     fpcmp
ev_cm2: negb                    ; 1 left above, 2 equal, 3 below
        addb    #2
        cmpb    #3              ; the relation's bit: 1 2 4
        sbcb    #$FF
        andb    RELOP
        beq     ev_f
        ldab    #$FF
ev_f:   tba
        bsr     givd
        bra     ev_drp
ev_str: tstb
        bmi     ev_scm
        bne     tmerr4          ; strings only join with +
        jsr     concat
        bra     ev_drp
ev_scm: jsr     strcmp
        bra     ev_cm2

;               +  -  *  /  ^ AND OR >  =  <
prctab: dc.b    5, 5, 6, 6, 7, 2, 1, 4, 4, 4
optab:  dc.w    fpadd,fpsub,fpmul,fpdiv,fppow,evand,evor

; fppush: FAC onto the stack, 5 bytes below the caller's return address
fppush: pulx
        des
        des
        des
        des
        des
        pshx
        tsx
        inx
        inx
        jmp     fpst

; AND, OR: both operands as 16-bit integers (the left one is in ARG, which
; fptod keeps)
twoint: jsr     fptod
        std     TMP3
        jsr     fpswap
        jmp     fptod
evand:  bsr     twoint
        anda    TMP3
        andb    TMP3+1
        bra     givd
evor:   bsr     twoint
        oraa    TMP3
        orab    TMP3+1
; givd: D to FAC as a number
givd:   clr     VALTYP
        jmp     fpfromd
; givb: B to FAC, 0..255; givu: D to FAC, 0..65535
givb:   clra
givu:   clr     VALTYP
        jmp     fpfromu
zero5:  dc.b    0,0,0,0,0

; ---- primaries ----
primary: clr    VALTYP
        jsr     chrgot
        bcs     pm_num
        cmpa    #'.
        beq     pm_num
        cmpa    #T_MINUS
        beq     pm_neg
        cmpa    #T_PLUS
        beq     pm_pls
        cmpa    #T_NOT
        beq     pm_not
        cmpa    #'(
        beq     parexp
        cmpa    #'"
        beq     pm_lit
        tsta
        bmi     pm_fn
        jsr     fndvar
        ldab    VALTYP
        bne     ldstr
        jmp     fpld
pm_num: ldx     TXTPTR
pm_fp:  jsr     fpparse
        stx     TXTPTR
        rts
; parnum: "(numeric expression)"
parnum: bsr     parexp
        jmp     chknum
; parexp: "(expression)"
parexp: jsr     chkopn
        jsr     frmevl
        jmp     chkcls
; ldstr: the string descriptor at X to SLEN, SADR
ldstr:  ldd     0,x
        std     SLEN
        ldaa    2,x
        staa    SADR+1
        rts
pm_pls: jsr     chrget
        bra     primary
pm_neg: ldab    #6              ; only ^ binds tighter
        bsr     pm_un
        jmp     fpneg
pm_not: ldab    #3              ; relations bind tighter, AND and OR not
        bsr     pm_un
        jsr     fptod
        coma
        comb
        bra     givd
pm_un:  jsr     chrget
        jsr     evprec
        jmp     chknum
pm_lit: ldx     TXTPTR          ; a literal stays where it is
        inx
        bsr     scnstr
        stx     TXTPTR
        rts
; scnstr: the quoted text from X (after its quote) to SLEN, SADR; X after it
scnstr: stx     SADR
        clrb
pl_l:   ldaa    0,x
        beq     pl_e
        inx
        cmpa    #'"
        beq     pl_e
        incb
        bra     pl_l
pl_e:   stab    SLEN
        jmp     setstr
pm_fn:  suba    #T_SGN          ; (tokens below wrap round: too big)
        cmpa    #T_MEM-T_SGN
        bhi     snerr6
        asla
        tab
        jsr     chrget          ; (B kept)
        ldx     #fntab
        abx
        ldx     0,x
        cmpb    #(T_LEN-T_SGN)*2
        bhs     pf_sp
        pshx
        bsr     parnum
        pulx
pf_sp:  jmp     0,x
snerr6: jmp     snerr

fntab:  dc.w    fpsgn,fpint,fpabs,ex_go,fprnd,fpsqr,fplog,fpexp,fpsin,fpcos
        dc.w    fptan,fnpeek,fnlen,fnstr,fnval,fnasc,fnchr,fnleft,fnrght,fnmid
        dc.w    fnpnt,fnvptr,fninky,fnmem

fnpeek: jsr     fptoad
        std     TMP
        ldx     TMP
        ldab    0,x
        jmp     givb
fnmem:  jsr     memfre
        jmp     givu
fnvptr: jsr     chkopn
        bsr     getvar
        pshx
        jsr     chkcls
        pula
        pulb
        jmp     givu
fnpnt:  jsr     setxyc
        bmi     fp_g
        ldd     #-1             ; a text character
        jmp     givd
fp_g:   andb    0,x             ; 0 when the bit is off
        beq     fp_b
        lsra
        lsra
        lsra
        lsra
        anda    #7
        tab
        incb
fp_b:   jmp     givb

; ---- variables ----
; getnam: the name at TXTPTR to VNAME (bit 7 of the second byte for a
; string) and VALTYP; A = the character after it
getnam: jsr     chrgot
        bsr     isalph
        bcc     snerr6
        clrb
        std     VNAME
        jsr     chrget          ; (B kept)
        bcs     gn_2
        bsr     isalph
        bcc     gn_e
gn_2:   staa    VNAME+1
gn_s:   jsr     chrget
        bcs     gn_s
        bsr     isalph
        bcs     gn_s
gn_e:   clr     VALTYP
        cmpa    #'$
        bne     gn_r
        com     VALTYP
        ldaa    VNAME+1
        oraa    #$80
        staa    VNAME+1
        jmp     chrget
gn_r:   rts
; isalph: C set when A is a letter (B changed)
isalph: tab
        subb    #'A
        cmpb    #26
        rts

; getvar: X = the value (5 bytes) of the variable or array element at
; TXTPTR, made when new. fndvar: the same for reading: a simple variable
; that does not exist reads as zero and is not made (so nothing moves).
; dimvar: DIM's form.
dimvar: ldab    #$FF
        dc.b    $8C             ; (cpx #: skips the next load)
getvar: ldab    #1
        dc.b    $21             ; (brn: skips the clrb)
fndvar: clrb
        stab    MKVAR
        bsr     getnam
        cmpa    #'(
        beq     gv_arr
        ldx     VARTAB
gv_l:   cpx     ARYTAB
        beq     gv_nf
        ldd     0,x
        subd    VNAME
        beq     gv_f
        ldab    #7
        abx
        bra     gv_l
gv_f:   inx
        inx
        rts
gv_nf:  tst     MKVAR
        bne     gv_new
        ldx     #zero5
        rts
gv_new: ldd     #7              ; a new variable: the arrays move up
        jsr     grow
        ldx     ARYTAB
        ldd     VNAME
        std     0,x
        clra
        clrb
        std     2,x
        std     4,x
        staa    6,x
        ldd     ARYTAB
        addd    #7
        std     ARYTAB
        bra     gv_f

; an array: name(2) size of the entry(2) dimensions(1) the sizes of the
; dimensions, last subscript first (2 each), then the elements (5 each)
gv_arr: ldd     VNAME
        pshb
        psha
        ldaa    MKVAR
        psha
        clrb
        jsr     chrget          ; (B kept)
ga_l:   pshb                    ; the subscripts go on the stack
        jsr     evint           ; (a negative one fails as too big)
        std     TMP
        pulb
        ldx     TMP
        pshx
        incb
        jsr     optcom
        beq     ga_l
        stab    NDIM
        jsr     chkcls          ; (B kept)
        tsx
        abx
        abx
        ldaa    0,x
        staa    MKVAR
        ldd     1,x
        std     VNAME
        clra                    ; a string array when bit 7 is set
        aslb
        sbca    #0
        staa    VALTYP
        ldx     ARYTAB
ga_f:   cpx     ARYEND
        beq     ga_new
        ldd     0,x
        subd    VNAME
        beq     ga_fnd
        ldd     2,x
        stx     TMP
        addd    TMP
        std     TMP
        ldx     TMP
        bra     ga_f
ga_fnd: tst     MKVAR
        bmi     dderr2
        ldab    4,x
        cmpb    NDIM
        bne     bserr2
        clrb
        bra     ga_c
bserr2: jmp     bserr
dderr2: jmp     dderr
ga_new: ldd     VNAME           ; made at the end: 10 a dimension unless DIM
        std     0,x
        ldab    NDIM
        stab    4,x
ga_c:   stab    ANEW
        stx     TMP4
        ldab    #5
        abx
        stx     DST
        tsx
        stx     SRC
        ldd     #1
        std     ACNT            ; elements
        clrb
        std     TMP3            ; offset of the element
        ldab    NDIM
        stab    MULTMP
ge_l:   ldx     SRC
        ldd     0,x
        inx
        inx
        stx     SRC
        std     CNT
        ldx     DST
        tst     ANEW
        beq     ge_o
        addd    #1
        tst     MKVAR
        bmi     ge_d
        ldd     #11
ge_d:   std     0,x
ge_o:   ldd     0,x
        inx
        inx
        stx     DST
        std     TMP             ; each subscript below its size
        ldd     CNT
        subd    TMP
        bcc     bserr2
        ldd     TMP3
        bsr     umul
        addd    CNT
        std     TMP3
        ldd     ACNT
        bsr     umul
        bcs     omerr4
        std     ACNT
        dec     MULTMP
        bne     ge_l
        tst     ANEW
        beq     ge_el
        cmpa    #$33            ; a new array: 5 bytes an element
        bhs     omerr4
        asld
        asld
        addd    ACNT
        addd    DST
        bcs     omerr4
        std     TMP2
        bsr     memchk
        ldx     DST
gz_l:   cpx     TMP2
        beq     gz_e
        clr     0,x
        inx
        bra     gz_l
gz_e:   ldx     TMP4
        ldd     TMP2
        std     ARYEND
        subd    TMP4
        std     2,x
        tst     MKVAR           ; DIM: no element
        bmi     ga_dn
ge_el:  ldd     TMP3
        asld
        asld
        addd    TMP3
        addd    DST
        std     TMP
ga_dn:  tsx                     ; drop the subscripts, the name and the flag
        ldab    NDIM
        abx
        abx
        inx
        inx
        inx
        txs
        ldx     TMP
        rts
omerr4: jmp     omerr

; umul: D = TMP * D, C set when it passes 65535
umul:   std     TMP2
        ldaa    TMP
        beq     um_1
        tst     TMP2
        bne     um_ov
        ldab    TMP2+1
        mul
        bra     um_2
um_1:   ldaa    TMP+1
        ldab    TMP2
        mul
um_2:   tsta
        bne     um_ov
        stab    ALEN
        ldaa    TMP+1
        ldab    TMP2+1
        mul
        adda    ALEN
        rts
um_ov:  sec
        rts

; grow: D more bytes of simple variables: the arrays move up
grow:   addd    ARYEND
        bcs     omerr4
        std     DST
        bsr     memchk          ; (DST kept)
        ldx     ARYEND
        stx     SRC
        ldd     DST
        std     ARYEND
        ldd     SRC
        subd    ARYTAB
        std     CNT
        jmp     bmovu

; memchk: ?OM unless D stays well clear of the stack
memchk: addd    #STKMRG
        bcs     omerr4
        sts     MCT
        subd    MCT
        bcc     omerr4
        rts

; memfre: D = the bytes free between the arrays and the stack's top (MEM and
; the banner's BYTES FREE)
memfre: ldd     STRTAB
        subd    ARYEND
        subd    #STKMRG
        rts

dim:    jsr     dimvar
        jsr     optcom
        beq     dim
        rts

; the USR argument and result for machine-language routines
intcnv  equ     fptod
givabf  equ     givd
