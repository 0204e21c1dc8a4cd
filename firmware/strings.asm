; Strings: the string space below the top of memory, temporaries, garbage
; collection and the string functions.
;
; A descriptor is 3 bytes: length, address. Strings made by the program are
; allocated downwards from the top of memory (FRESPC) to STRTAB; literals and
; DATA items stay in the program text. Partial results of a formula wait on
; a small stack of descriptors (TSTK); when the space fills, the collector
; moves every string still named by a variable, an array, that stack or the
; current descriptor to the top, one after another, highest first.

TSMAX   equ     12              ; room for 4 waiting strings

; strset: store SLEN, SADR as the string variable at X; a string still in
; the input line is copied into string space first
strset: pshx
        ldd     SADR
        subd    #TXTTAB
        bcc     sst_k
        ldab    SLEN
        clra
        bsr     substr
sst_k:  pulx
        bra     tsput

; tspush: SLEN, SADR onto the temporary stack (?ST when full)
tspush: ldab    TSP
        cmpb    #TSMAX
        bhs     sterr2
        addb    #3
        stab    TSP
        bsr     tstop
tsput:  ldaa    SLEN
        staa    0,x
        ldd     SADR
        std     1,x
        rts
sterr2: jmp     sterr
; tstop: X = the top of the temporary stack; tsdrop: forget it
tstop:  ldx     #TSTK-3
        ldab    TSP
        abx
        rts
tsdrop: ldab    TSP
        subb    #3
        stab    TSP
        rts
; tspop: the top of the temporary stack back to SLEN, SADR
tspop:  bsr     tstop
        jsr     ldstr
        bra     tsdrop

; stralc: B bytes of string space; X = DST = TMP3 = them, B kept. ?OS when
; even a collection leaves too little.
stralc: stab    ALEN
        bsr     sa_try
        bcc     sa_x
        jsr     gc
        bsr     sa_try
        bcs     oserr2
sa_x:   stx     DST
        stx     TMP3
        ldab    ALEN
        rts
sa_try: ldd     FRESPC          ; C set when it does not fit
        subb    ALEN
        sbca    #0
        std     TMP
        subd    STRTAB
        bcs     st_x
        ldx     TMP
        stx     FRESPC
st_x:   rts
oserr2: jmp     oserr

; copyb: B bytes from X to DST (DST moves on)
copyb:  tstb
        beq     cb_x
cb_l:   ldaa    0,x
        inx
        pshx
        ldx     DST
        staa    0,x
        inx
        stx     DST
        pulx
        decb
        bne     cb_l
cb_x:   rts

; mkstr: a new string of the B bytes at X in SLEN, SADR
mkstr:  stx     SADR
        stab    SLEN
        clra
; substr: a new string of B bytes from offset A of SLEN, SADR
substr: staa    TMP4
        bsr     stralc
        stab    SLEN
        ldx     SADR
        pshb
        ldab    TMP4
        abx
        pulb
        bsr     copyb
sb_end: ldx     TMP3
        stx     SADR
setstr: ldaa    #$FF
        staa    VALTYP
        rts

; concat: the temporary on top joined with SLEN, SADR (?LS past 255)
concat: bsr     tstop
        ldab    0,x
        addb    SLEN
        bcs     lserr2
        bsr     stralc
        stab    TMP4
        bsr     tstop
        ldab    0,x
        ldx     1,x
        bsr     copyb
        ldab    SLEN
        ldx     SADR
        bsr     copyb
        ldab    TMP4
        stab    SLEN
        jsr     tsdrop
        bra     sb_end
lserr2: jmp     lserr

; strcmp: the temporary on top against SLEN, SADR: B = 1 above, 0 equal,
; $FF below; the temporary is dropped
strcmp: ldx     SADR            ; the right one: DST, TMP4
        stx     DST
        ldab    SLEN
        stab    TMP4
        jsr     tspop           ; the left one: SRC, SLEN
        ldx     SADR
        stx     SRC
        ldab    TMP4
        cmpb    SLEN
        bls     scm_c
        ldab    SLEN
scm_c:  incb
scm_l:  decb                    ; the common part first (up to 255)
        beq     scm_n
        ldx     SRC
        ldaa    0,x
        inx
        stx     SRC
        ldx     DST
        cmpa    0,x
        bne     scm_d
        inx
        stx     DST
        bra     scm_l
scm_n:  ldaa    SLEN            ; then the lengths
        cmpa    TMP4
scm_d:  beq     scm_e
        ldab    #1
        bcc     scm_x
        negb
scm_x:  rts
scm_e:  clrb
        rts

; ---- garbage collection ----
gc:     ldx     MEMTOP
        stx     GCTOP
        ldx     #0
gc_l:   stx     GCOLD           ; each pass moves the descriptors of the string
        ldx     #0              ; moved last and finds the next one
        stx     GCBEST
        bsr     visit
        ldx     GCBEST
        beq     gc_e
        pshx
        ldab    GCBLN
        clra
        std     CNT
        addd    GCBEST
        std     SRC
        ldd     GCTOP
        std     DST
        subd    CNT
        std     GCTOP
        jsr     bmovu
        pulx
        bra     gc_l
gc_e:   ldx     GCTOP
        stx     FRESPC
        rts

; visit: gcone for every descriptor in use
visit:  ldx     VARTAB
vs_v:   cpx     ARYTAB
        beq     vs_a
        ldab    1,x
        inx
        inx                     ; (N kept)
        bpl     vs_vn
        bsr     gcone
vs_vn:  ldab    #5
        abx
        bra     vs_v
vs_a:   cpx     ARYEND
        beq     vs_t
        ldd     2,x
        stx     VSEND
        addd    VSEND
        std     VSEND
        tst     1,x
        bpl     vs_an
        ldab    4,x
        aslb
        addb    #5
        abx
vs_e:   cpx     VSEND
        beq     vs_an
        bsr     gcone
        ldab    #5
        abx
        bra     vs_e
vs_an:  ldx     VSEND
        bra     vs_a
vs_t:   ldab    TSP             ; the temporaries, top first
vs_tl:  beq     vs_s
        pshb
        ldx     #TSTK-3
        abx
        bsr     gcone
        pulb
        subb    #3
        bra     vs_tl
vs_s:   ldx     #SLEN
; gcone: the descriptor at X (kept): if it named the string just moved it
; follows it; the highest string below GCTOP not yet moved is noted
gcone:  tst     0,x
        beq     go_x
        ldd     1,x
        subd    GCOLD
        bne     go_1
        ldd     GCTOP
        std     1,x
go_1:   ldd     1,x
        subd    STRTAB
        bcs     go_x
        ldd     1,x
        subd    GCTOP
        bcc     go_x
        ldd     1,x
        subd    GCBEST
        bls     go_x
        ldd     1,x
        std     GCBEST
        ldab    0,x
        stab    GCBLN
go_x:   rts

; ---- string functions ----
; strarg: "(string)"
strarg: jsr     parexp
        jmp     chkstr

fnlen:  bsr     strarg
        ldab    SLEN
fl_g:   jmp     givb

fnasc:  bsr     strarg
        ldab    SLEN
        beq     fcerr4
        ldx     SADR
        ldab    0,x
        bra     fl_g

fnstr:  jsr     parnum
        jsr     fpstr
        jsr     scnstr          ; the text (no quote in it), B = its length
        clra
        jmp     substr          ; copied: the next number reuses the buffer

fnchr:  jsr     parnum
        jsr     fptod
        tsta
        bne     fcerr4
fc_1:   stab    CHRBUF
        ldx     #CHRBUF
one:    ldab    #1
        jmp     mkstr

fninky: jsr     polcat
        tab
        bne     fc_1
        clr     SLEN            ; no key: ""
        jmp     setstr
fcerr4: jmp     fcerr

; fnval: the number at the start of the string, 0 when there is none
fnval:  bsr     strarg          ; a 0 after the string for a moment (string
        ldx     SADR            ; space ends a byte below the top for this)
        ldab    SLEN
        abx
        ldaa    0,x
        psha
        clr     0,x
        pshx
        ldx     SADR
        jsr     valtxt
        pulx
        pula
        staa    0,x
        clr     VALTYP
        rts

; LEFT$(s,n) RIGHT$(s,n) MID$(s,n[,m])
; sfnarg: "(string,n[,m])": the string back in SLEN, SADR, A = n, B = m (255
; when not given)
sfnarg: jsr     chkopn
        jsr     frmevl
        jsr     chkstr
        jsr     tspush
        jsr     chkcom
        jsr     evbyte
        pshb
        ldab    #255
        jsr     optcom
        bne     sf_1
        jsr     evbyte
sf_1:   pshb
        jsr     chkcls
        jsr     tspop
        pulb
        pula
        rts

fnleft: bsr     sfnarg
        tab
        clra
        bra     fm_c
fnrght: bsr     sfnarg
        tab
        suba    SLEN            ; the offset: SLEN - n, 0 when n is longer
        bcs     fr_1
        clra
fr_1:   nega
        bra     fm_c
fnmid:  bsr     sfnarg
        suba    #1
        bcs     fcerr4
; fm_c: B bytes from offset A, no more than the string has
fm_c:   cmpa    SLEN
        bls     fm_2
        ldaa    SLEN
fm_2:   staa    TMP4
        ldaa    SLEN
        suba    TMP4            ; what is left from the offset
        cba
        bhs     fm_3
        tab
fm_3:   ldaa    TMP4
        jmp     substr
