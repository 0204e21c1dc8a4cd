; The BASIC interpreter: errors, the command loop, the tokeniser, program
; editing and the statements.

; ---- errors: X = the two-letter code in errtab ----
; Every entry is a bsr to errcom, two bytes apart in the order of errtab, so
; the address it would return to gives the code: the entry's distance from
; nferr. FD AO DN (34-38) belong to disk systems and are never given: NEW's
; six bytes fill their place.
nferr:  bsr     errcom          ; 0
snerr:  bsr     errcom          ; 2
rgerr:  bsr     errcom          ; 4
oderr:  bsr     errcom          ; 6
fcerr:  bsr     errcom          ; 8
overr:  bsr     errcom          ; 10
omerr:  bsr     errcom          ; 12
ulerr:  bsr     errcom          ; 14
bserr:  bsr     errcom          ; 16
dderr:  bsr     errcom          ; 18
dzerr:  bsr     errcom          ; 20 (/0)
iderr:  bsr     errcom          ; 22
tmerr:  bsr     errcom          ; 24
oserr:  bsr     errcom          ; 26
lserr:  bsr     errcom          ; 28
sterr:  bsr     errcom          ; 30
cnerr:  bsr     errcom          ; 32
new:    jsr     donew           ; (34-39: never called as errors)
        jmp     ready
ioerr:  bsr     errcom          ; 40
fmerr:  bsr     errcom          ; 42
errcom: pulx                    ; (error resets the stack)
        ldab    #errtab-nferr-2
        abx
        IF ioerr-nferr != 40 || fmerr-nferr != 42 || errtab-nferr-2 > 255
        ERR                     ; the entries must keep their places
        ENDIF
error:  stx     TMP4
        jsr     rststk
        clr     DEVNUM
        clr     OLDTXT          ; (no continue address is below 0x100)
        jsr     newlin
        ldaa    #'?
        jsr     putchr
        ldx     TMP4
        ldab    #2
        jsr     outlen
        jsr     outmsg
        dc.b    " ERROR",0
msgend: jsr     inmsg           ; (ready's newlin ends the line)
; ---- the command loop ----
ready:  jsr     nlmsg
        dc.b    "OK",13,0
ml_1:   ldx     #$FFFF
        stx     CURLIN
        jsr     inline
        bcs     ml_1
        ldx     #BUF-1
        stx     TXTPTR
        jsr     chrget
        beq     ml_1
        bcs     ml_num
        jsr     crunch
        ldx     #BUF-1
        stx     TXTPTR
        jmp     ns_stmt
ml_num: jsr     getlin
        jsr     crunch          ; X just after its 0
        stx     TMP4
        jsr     fndlin
        bcc     ml_nod
        jsr     dellin
        jsr     fndlin
ml_nod: stx     DST             ; insertion point
        ldx     TXTPTR
        ldaa    0,x
        beq     ml_don          ; a bare number deletes the line
        ldd     TMP4            ; length = text + 4
        subd    TXTPTR
        addd    #4
        std     TMP3
        addd    VARTAB
        jsr     memchk
        ldd     VARTAB          ; open the gap
        std     SRC
        subd    DST
        std     CNT
        ldd     VARTAB
        addd    TMP3
        std     VARTAB
        ldx     DST
        pshx
        std     DST
        jsr     bmovu
        pulx
        stx     DST
        ldx     TXTPTR          ; link and number go just before the text
        dex
        dex
        dex
        dex
        stx     SRC
        stx     0,x             ; any non-zero link until relinked
        ldd     LINNUM
        std     2,x
        ldd     TMP3
        std     CNT
        jsr     bmovd
ml_don: jsr     relink
        jsr     clrvar
        bsr     rststk
        jmp     ml_1

errtab: dc.b    "NFSNRGODFCOVOMULBSDD/0IDTMOSLSSTCNFDAODNIOFMNO"

; rststk: forget every FOR and GOSUB: the stack starts again below the strings
rststk: pulx
        stx     TMP
        ldx     STRTAB
        dex
        clr     0,x             ; the stack's bottom marker
        txs
        clr     TSP
        ldx     TMP
        jmp     0,x

; inmsg: " IN <line>" when a program runs
inmsg:  ldx     CURLIN
        inx
        beq     inm_x
        jsr     outmsg
        dc.b    " IN ",0
        ldd     CURLIN
        jmp     prudec
inm_x:  rts

; ---- text pointer ----
; chrget: step to the next character; chrgot: the current one. Blanks are
; skipped. A = character, Z set at the end of a statement (0 or ':'),
; C set for a digit. X is changed.
chrget: ldx     TXTPTR
cg_i:   inx
        stx     TXTPTR
        ldaa    0,x
        cmpa    #32
        beq     cg_i
        bra     cg_t
chrgot: ldx     TXTPTR
        ldaa    0,x
        cmpa    #32
        beq     cg_i
cg_t:   cmpa    #':
        bhs     cg_x
        cmpa    #'0
        bhs     cg_d
        tsta
cg_x:   rts
cg_d:   cmpa    #1
        sec
        rts

; optcom: Z set (and the comma passed) when a comma comes next; opttok:
; the same for the character or token in A
optcom: ldaa    #',
opttok: psha
        bsr     chrgot
        pula
        cmpa    0,x
        bne     oc_x
        bsr     chrget
        clra
oc_x:   rts

; chkch: ?SN unless the character in A comes next; it is passed (B kept)
chkcls: ldaa    #')
        dc.b    $8C             ; (cpx #: skips the next load)
chkopn: ldaa    #'(
        dc.b    $8C
chkcom: ldaa    #',
chkch:  bsr     opttok
        bne     snerr2
        rts
snerr2: jmp     snerr

; ---- tokeniser: crunch the text at TXTPTR in place; X just after its 0 ----
; Keywords are found wherever they start, as the original does (FORI=1TO9);
; letters outside quotes become capitals; REM and DATA text stays as typed.
crunch: ldx     TXTPTR
        stx     SRC
        stx     DST
        clr     QUOTE           ; bit 0 in quotes, bit 1 REM, bit 2 DATA
cr_l:   ldx     SRC
        ldaa    0,x
        beq     cr_cpy          ; the end, copied like the rest
        ldab    QUOTE
        bitb    #2
        bne     cr_cpy          ; REM: the rest as it is
        cmpa    #'"
        bne     cr_1
        eorb    #1
        stab    QUOTE
        bra     cr_cpy
cr_1:   lsrb
        bcs     cr_cpy          ; in quotes
        beq     cr_2
        cmpa    #':             ; DATA ends with its statement
        bne     cr_cpy
        clr     QUOTE
        bra     cr_cpy
cr_2:   cmpa    #'?             ; (no keyword starts with a blank or a digit)
        bne     cr_kw
        ldaa    #T_PRINT
cr_cpy: ldx     SRC
        inx
        stx     SRC
cr_put: ldx     DST
        staa    0,x
        inx
        stx     DST
        tsta
        bne     cr_l
        rts
cr_kw:  bsr     upper
        psha                    ; the character, if no keyword starts here
        ldx     #kwtab
        stx     TMP
        ldaa    #$80
        staa    RELOP
kw_try: clrb
kw_c:   ldx     SRC
        abx
        ldaa    0,x
        bsr     upper
        ldx     TMP
        abx
        eora    0,x             ; the same apart from the end mark?
        incb
        asla
        bne     kw_f
        bcc     kw_c
        ins
        ldx     SRC             ; a keyword: its token
        abx
        stx     SRC
        ldaa    RELOP
        ldab    #2
        cmpa    #T_REM
        beq     kw_m
        aslb
        cmpa    #T_DATA
        bne     cr_put
kw_m:   stab    QUOTE
        bra     cr_put
kw_f:   ldx     TMP
kw_sk:  tst     0,x
        inx
        bpl     kw_sk
        stx     TMP
        inc     RELOP
        tst     0,x
        bne     kw_try
        pula
        bra     cr_cpy
upper:  cmpa    #'a
        blo     up_x
        cmpa    #'z
        bhi     up_x
        suba    #$20
up_x:   rts

; ---- program lines ----
; fndlin: X = first line numbered LINNUM or above (or the end); C set when equal
fndlin: ldx     #TXTTAB
fl_l:   ldd     0,x
        beq     fl_no
        ldd     2,x
        subd    LINNUM
        bhs     fl_ge
        ldx     0,x
        bra     fl_l
fl_ge:  bne     fl_no
        sec
        rts
fl_no:  clc
        rts

; dellin: remove the line at X
dellin: stx     DST
        ldd     0,x
        std     SRC
        ldd     VARTAB
        subd    SRC
        std     CNT
        addd    DST
        std     VARTAB
; bmovd: copy CNT bytes from SRC to DST upwards in memory order
bmovd:  ldd     CNT
        beq     bm_x
bmd_l:  ldx     SRC
        ldaa    0,x
        inx
        stx     SRC
        ldx     DST
        staa    0,x
        inx
        stx     DST
        bsr     cntdn
        bne     bmd_l
bm_x:   rts
; cntdn: one less in CNT; Z set at 0
cntdn:  ldd     CNT
        subd    #1
        std     CNT
        rts
; bmovu: copy CNT bytes ending just below SRC to just below DST, last first
bmovu:  ldd     CNT
        beq     bm_x
bmu_l:  ldx     SRC
        dex
        ldaa    0,x
        stx     SRC
        ldx     DST
        dex
        staa    0,x
        stx     DST
        bsr     cntdn
        bne     bmu_l
        rts

; relink: rebuild the line links and VARTAB
relink: ldx     #TXTTAB
rl_l:   ldd     0,x
        beq     rl_x
        pshx
rl_s:   inx                     ; to the text's 0
        tst     3,x
        bne     rl_s
        ldab    #4
        abx
        pshx                    ; the next line
        pula
        pulb
        pulx
        std     0,x
        ldx     0,x
        bra     rl_l
rl_x:   inx
        inx
        stx     VARTAB
        rts

; coldbas: the string space at its usual size and no program (start-up)
coldbas: ldd    MEMTOP
        std     RAMTOP
        subd    #STRDEF
        std     STRTAB
        bsr     donew
        jmp     rststk          ; (the stack starts below the strings)
donew:  clr     TXTTAB
        clr     TXTTAB+1
        bsr     relink          ; (VARTAB just after)
clrvar: ldx     VARTAB
        stx     ARYTAB
        stx     ARYEND
        ldx     MEMTOP      ; strings end a byte below the top (VAL needs it)
        stx     FRESPC
        clr     OLDTXT
restore: ldx    #TXTM1
        stx     DATPTR
        rts

; getlin: line number (0-63999) at TXTPTR to LINNUM
getlin: clra
        clrb
        std     LINNUM
        jsr     chrgot
gl_l:   bcc     gl_x
        suba    #'0
        staa    MULTMP
        ldd     LINNUM
        cmpa    #25             ; from 6400 on the next digit passes 63999
        bhs     snerr4
        asld
        std     TMP
        asld
        asld
        addd    TMP
        addb    MULTMP
        adca    #0
        std     LINNUM
        jsr     chrget
        bra     gl_l
gl_x:   rts
snerr4: jmp     snerr

; ---- statement loop ----
newstt: clra
        staa    TSP
        staa    SLEN
        bsr     brkq
        jsr     chrgot
        bne     snerr4
        tsta
        bne     ns_stmt         ; ':'
        ldx     CURLIN
        inx
        beq     ns_rdy          ; direct mode
        ldx     TXTPTR
        inx
        ldd     0,x
        bne     ns_line
        clr     OLDTXT          ; ran off the end: nothing to continue
ns_rdy: jmp     ready
; golin: run the line at X (every jump comes here and checks BREAK)
golin:  bsr     brkq
ns_line: ldd    2,x
        std     CURLIN
        inx
        inx
        inx
        stx     TXTPTR
ns_stmt: jsr    chrget
        beq     newstt
        bsr     dostmt
        bra     newstt

; brkq: BREAK checked (and keys kept) every eighth statement or jump
brkq:   dec     BRKCT
        bne     bq_x
        ldaa    #8
        staa    BRKCT
        jsr     brkchk
        bcs     bq_b
bq_x:   rts
bq_b:   ins
        ins
dobrk:  bsr     stopsv
brkmsg: jsr     nlmsg
        dc.b    "BREAK",0
        jmp     msgend

stopsv: ldx     CURLIN
        inx
        beq     ss_x
        dex
        stx     OLDLIN
        ldx     TXTPTR
        stx     OLDTXT
ss_x:   rts

; dostmt: run the statement whose first character is in A
dostmt: tsta
        bpl     let
        cmpa    #T_LASTST
        bhi     snerr4
        asla                    ; (bit 7 drops out)
        tab
        ldx     #stmtab
        abx
        ldx     0,x
        pshx
        jmp     chrget

stmtab: dc.w    for,goto,gosub,rem,if,data,print,on,input,end,next,dim,read
        dc.w    let,run,restore,return,stop,poke,cont,list,clear,new,cload
        dc.w    csave,llist,lprint,set,resetst,cls,sound,exec,skipf

; ---- statements ----
let:    jsr     getvar
        ldaa    VALTYP
        psha
        pshx
        ldaa    #T_EQ
        jsr     chkch
        jsr     frmevl
        pulx
        pula
; store: the value just worked out into the variable at X of type A
store:  cmpa    VALTYP
        bne     tmerr3
        tsta
        bne     sto_s
        jmp     fpst
sto_s:  jmp     strset
tmerr3: jmp     tmerr

rem:    ldx     TXTPTR
rm_l:   ldaa    0,x
        beq     rm_x
        inx
        bra     rm_l
rm_x:   stx     TXTPTR
        rts

data:   ldx     TXTPTR
dt_l:   ldaa    0,x
        beq     rm_x
        cmpa    #':
        beq     rm_x
        inx
        cmpa    #'"
        bne     dt_l
        bsr     skipq
        bra     dt_l
; skipq: X past the rest of a quoted text (to its quote or the line end)
skipq:  ldaa    0,x
        beq     sq_x
        inx
        cmpa    #'"
        bne     skipq
sq_x:   rts

end:    pulx
        jsr     stopsv
        jmp     ready

stop:   pulx
        jmp     dobrk

cont:   ldaa    OLDTXT          ; (a cleared high byte: nothing to continue)
        bne     ct_ok
        jmp     cnerr
ct_ok:  ldx     OLDTXT
        stx     TXTPTR
        ldx     OLDLIN
        stx     CURLIN
        rts

if:     jsr     evnum
        jsr     chrgot
        cmpa    #T_THEN
        beq     if_ok
        cmpa    #T_GOTO
        bne     snerr3
if_ok:  tst     FACEXP
        beq     rem
        jsr     chrget
        bcs     goto_n
        beq     if_x
        jmp     dostmt
if_x:   rts
snerr3: jmp     snerr

goto:
goto_n: jsr     getlin
goto_l: pulx                    ; (no return: the line runs)
go_ln:  bsr     lnfnd
        jmp     golin

gosub:  jsr     getlin
gosub_l: pulx
        ldx     TXTPTR
        pshx
        ldx     CURLIN
        pshx
        ldaa    #T_GOSUB
        psha
        bsr     stkchk
        bra     go_ln

; lnfnd: X = the line numbered LINNUM, ?UL when there is none
lnfnd:  jsr     fndlin
        bcc     ulerr2
        rts
ulerr2: jmp     ulerr

return: pulx
        clr     FORVAR          ; (no variable is below 0x100: every loop passes)
        tsx
        bsr     frfind
        txs                     ; the loops inside the subroutine end
        cmpa    #T_GOSUB
        beq     rt_f
        jmp     rgerr
rt_f:   ins
        pulx
        stx     CURLIN
        pulx
        stx     TXTPTR
        jmp     newstt

; stkchk: out of memory when the stack comes near the arrays
stkchk: ldd     ARYEND
        jmp     memchk

on:     jsr     evbyte          ; ON n GOTO/GOSUB: the n-th line, none past the end
        pshb
        jsr     chrgot
        cmpa    #T_GOTO
        beq     on_ok
        cmpa    #T_GOSUB
        bne     snerr3
on_ok:  psha
        jsr     chrget
on_l:   jsr     getlin
        tsx
        dec     1,x
        beq     on_go
        jsr     optcom
        beq     on_l
        pulx
        rts
on_go:  jsr     data            ; the GOSUB returns after the list
        pula
        pulb
        cmpa    #T_GOSUB
        beq     gosub_l
        bra     goto_l

; frfind: from X up the stack, the loop on FORVAR: Z set and X = it, else
; Z clear and X at the first entry that is not a loop
frfind: ldaa    0,x
        cmpa    #T_FOR
        bne     ff_x
        ldd     1,x
        subd    FORVAR
        beq     ff_x
        ldab    #17
        abx
        bra     frfind
ff_x:   rts

; A loop on the stack: T_FOR, variable (2), step (5), line (2), text (2),
; limit (5).
for:    jsr     let             ; the start value; X = the variable
        jsr     chknum
        stx     FORVAR
        pulx                    ; no return: the loop lives on the stack
        tsx
        bsr     frfind          ; a loop on the same variable ends here
        bne     fr_new
        ldab    #17
        abx
        txs
fr_new: ldaa    #T_TO
        jsr     chkch
        jsr     evnum
        jsr     fppush          ; the limit
        ldaa    #T_STEP
        jsr     opttok
        bne     fr_s1
        jsr     evnum
        bra     fr_s2
fr_s1:  ldab    #1
        jsr     fpfromb
fr_s2:  ldx     TXTPTR
        pshx
        ldx     CURLIN
        pshx
        jsr     fppush          ; the step
        ldx     FORVAR
        pshx
        ldaa    #T_FOR
        psha
        jsr     stkchk
        jmp     newstt

next:   pulx                    ; (flags of the character after NEXT)
        bne     nx_v
        tsx                     ; no name: the innermost loop
        ldaa    0,x
        cmpa    #T_FOR
        beq     nx_f
nferr2: jmp     nferr
nx_v:   jsr     getvar
        stx     FORVAR
        tsx
        bsr     frfind
        bne     nferr2
        txs                     ; (loops inside it end)
nx_f:   stx     TMP4
        ldx     1,x
        jsr     fpld
        ldx     TMP4
        ldab    #3
        abx
        jsr     fpldarg
        jsr     fpadd
        ldx     TMP4
        ldx     1,x
        jsr     fpst
        ldx     TMP4
        ldab    #12
        abx
        jsr     fpldarg
        jsr     fpcmp           ; the limit against the variable
        ldx     TMP4
        tst     4,x
        bpl     nx_p
        negb                    ; counting down
nx_p:   tstb
        bmi     nx_dn
        ldd     8,x
        std     CURLIN
        ldd     10,x
        std     TXTPTR
nx_go:  jmp     newstt
nx_dn:  ldab    #17
        abx
        txs
        jsr     optcom
        beq     nx_v
        bra     nx_go

run:    bcc     run_a           ; RUN [line]
        jsr     getlin
        jsr     lnfnd
        dex                     ; the end of the line before it
        bra     run_b
run_a:  ldx     #TXTM1
run_b:  stx     TXTPTR
        stx     CURLIN          ; (not $FFFF: a program runs)
; clrgo: no variables, no loops, on with the program
clrgo:  jsr     clrvar
        jsr     rststk
        jmp     newstt

omerr5: jmp     omerr
; CLEAR [n[,top]]: n bytes of string space below top
clear:  beq     cl_n
        jsr     eval
        std     TMP3
        ldd     MEMTOP
        std     TMP2
        jsr     optcom
        bne     cl_1
        jsr     eval
        std     TMP2
cl_1:   ldd     RAMTOP          ; no higher than the RAM goes
        subd    TMP2
        bcs     omerr5
        ldd     TMP2
        subd    TMP3
        bcs     omerr5
        std     TMP
        subd    VARTAB
        bcs     omerr5
        subd    #STKMRG
        bcs     omerr5
        ldd     TMP2
        std     MEMTOP
        ldd     TMP
        std     STRTAB
cl_n:   bra     clrgo


poke:   jsr     eval
        pshb
        psha
        jsr     chkcom
        jsr     evbyte
        pulx
        stab    0,x
        cpx     #$9000          ; the video/speaker latch: keep its copy
        blo     pk_x
        cpx     #$C000
        bhs     pk_x
        stab    LATSH
pk_x:   rts

exec:   beq     ex_go
        jsr     eval
        std     EXECAD
ex_go:  ldx     EXECAD
        jmp     0,x

; ev2b: "n,m" to A = n, B = m (0-255 each)
ev2b:   jsr     evbyte
        pshb
        jsr     chkcom
        jsr     evbyte
        pula
        rts

sound:  bsr     ev2b
        jmp     dosound

cls:    beq     cs_0
        bsr     evcol
        tba
        bne     cs_a
        ldaa    #$80
cs_a:   jmp     clsa
cs_0:   jmp     cls0

; evcol: a colour 0-8 to B: 0 stays 0, 1-8 give $8F plus the colour bits
evcol:  jsr     evbyte
        cmpb    #8
        bhi     fcerr2
        tstb
        beq     ec_x
        decb
        aslb
        aslb
        aslb
        aslb
        orab    #$8F
ec_x:   rts

; setxy: "(x,y" to X = screen cell, B = bit of the block
setxy:  jsr     chkopn
        bsr     ev2b            ; A = x, B = y
        cmpa    #63
        bhi     fcerr2
        cmpb    #31
        bhi     fcerr2
        lsra
        psha                    ; the column
        ldaa    #8              ; the bit: 8 4 above, 2 1 below
        bcc     sx_1
        lsra                    ; x odd: the right half
        lsra
sx_1:   lsrb
        bcc     sx_2
        lsra                    ; y odd: the lower half
sx_2:   staa    KTMP
        ldaa    #32
        mul
        tsx
        addb    0,x
        adca    #SCREEN/256
        ins
        std     TMP2
        ldx     TMP2
        ldab    KTMP
        rts

; setxyc: "(x,y)" as setxy, closing bracket included; A = the cell, N set for a block
setxyc: bsr     setxy
sx_cls: pshx                    ; the closing bracket; X B kept, A = the cell
        pshb
        jsr     chkcls
        pulb
        pulx
        ldaa    0,x
        rts

set:    bsr     setxy
        pshx
        pshb
        jsr     chkcom
        bsr     evcol
        stab    TMP3
        pulb
        pulx
        bsr     sx_cls
        bmi     st_g
        ldaa    #$80            ; a text cell becomes an empty block
st_g:   stab    TMP3+1          ; the bit
        ldab    TMP3            ; colour 0 keeps the cell's colour
        beq     st_k
        oraa    #$70            ; the cell's bits, the new colour
        anda    TMP3
st_k:   oraa    TMP3+1
        staa    0,x
        rts

fcerr2: jmp     fcerr
resetst: bsr    setxyc
        bmi     rt_g
        ldaa    #$80
        bra     rt_s
rt_g:   comb
        stab    TMP3
        anda    TMP3
rt_s:   staa    0,x
        rts

; ---- PRINT and LPRINT ----
print:  beq     pr_cr
pr_it:  cmpa    #';
        beq     pr_sem
        cmpa    #',
        beq     pr_com
        cmpa    #T_TAB
        beq     pr_tab
        cmpa    #'@
        beq     pr_at
        jsr     frmevl
        ldab    VALTYP
        bne     pr_s
        jsr     fpstr
        jsr     outstr
        jsr     outspc
        bra     pr_nx
pr_s:   bsr     outsd
pr_nx:  jsr     chrgot
        bne     pr_it
pr_cr:  jmp     crlf
pr_sem: jsr     chrget
        bne     pr_it
        rts
pr_at:  jsr     chrget
        jsr     evint
        subd    #512
        bcc     fcerr2
        addd    #512+SCREEN
        std     CURPOS
        jsr     chrgot
        cmpa    #',
        bne     pr_nx
        bra     pr_sem
pr_com: jsr     getcol          ; zones of 16 columns
        tst     DEVNUM
        bne     pc_1
        cmpb    #16             ; the screen's second zone: a new line
        blo     pc_1
        jsr     crlf
        bra     pr_sem
pc_1:   orab    #$F0            ; 16 less the column in the zone
        negb
        bsr     spaces
        bra     pr_sem
pr_tab: jsr     chrget          ; TAB(n): blanks up to column n, past the
        jsr     evbyte          ; end of the line when n is beyond it
        jsr     chkcls
        pshb
        jsr     getcol
        pula
        sba
        bls     pr_nx
        tab
        bsr     spaces
        bra     pr_nx

; spaces: B blanks (1-255)
spaces: jsr     outspc
        decb
        bne     spaces
        rts

; outsd: print the string SLEN, SADR; outlen: B characters from X
outsd:  ldx     SADR
        ldab    SLEN
outlen: tstb
        beq     ol_x
ol_l:   ldaa    0,x
        jsr     putchr
        inx
        decb
        bne     ol_l
ol_x:   rts

; valtxt: the number (with an optional sign) at X to FAC; X after it. C set
; and FAC 0 when there is none.
valtxt: bsr     skipbl
        clrb                    ; B: $FF after a minus sign
        cmpa    #'+
        beq     vt_s
        cmpa    #'-
        bne     vt_2
        decb
vt_s:   inx
vt_2:   pshb
        stx     TMP3
        jsr     fpparse
        pulb
        cpx     TMP3
        sec
        beq     vt_x            ; no digits
        tstb                    ; (C clear)
        beq     vt_x
        pshx
        jsr     fpneg
        pulx
        clc
vt_x:   rts

; skipbl: X past blanks; A = the character there; C clear
skipbl: ldaa    0,x
        cmpa    #32
        bne     sb_x
        inx
        bra     skipbl
sb_x:   clc
        rts

; getitm: one INPUT or DATA item at X for a variable of type VALTYP: a number
; to FAC, a string (quoted, or up to , or :) to SLEN, SADR. X after it, A =
; the character that ends it; C set for a bad number.
getitm: bsr     skipbl
        ldab    VALTYP
        bne     gi_s
        bsr     valtxt
        bcc     skipbl          ; a number, then the blanks after it
        rts
gi_s:   clrb
        cmpa    #'"
        bne     gi_u
        inx
        jsr     scnstr
        bra     skipbl
gi_u:   stx     SADR
gi_ul:  ldaa    0,x
        beq     gi_e
        cmpa    #',
        beq     gi_e
        cmpa    #':
        beq     gi_e
        inx
        incb
        bra     gi_ul
gi_e:   stab    SLEN
        clc
        rts

; ---- INPUT and READ: items from the answer line or from DATA ----
input:  ldx     CURLIN
        inx
        bne     in_ok
        jmp     iderr
in_ok:  ldx     TXTPTR
        stx     INSAVE
in_re:  jsr     chrgot
        cmpa    #'"
        bne     in_ask
        jsr     primary
        jsr     outsd
        ldaa    #';
        jsr     chkch
in_ask: jsr     inq
        clra
        bra     rl_go
read:   ldx     DATPTR
        stx     INPTR
        ldaa    #1
rl_go:  staa    RDFLG
rl_v:   jsr     getvar
        stx     INVPOS
        ldx     INPTR
        bsr     skipbl
        cmpa    #',             ; after an item
        beq     rl_c
        ldab    RDFLG
        bne     rl_f
        tsta
        bne     rl_it
        ldaa    #'?             ; more values wanted: "??"
        jsr     putchr
        bsr     inq
        bra     rl_it
rl_f:   ldaa    0,x             ; find the next DATA
        bne     rd_1
        ldd     1,x
        bne     rd_2
        jmp     oderr
rd_2:   ldab    #5
        abx
        bra     rl_f
rd_1:   inx
        cmpa    #T_DATA
        beq     rl_it
        cmpa    #'"
        bne     rl_f
        jsr     skipq
        bra     rl_f
rl_c:   inx
rl_it:  jsr     getitm
        bcs     rl_bad
        cmpa    #',
        beq     rl_ok
        cmpa    #':
        beq     rl_ok
        tsta
        bne     rl_bad
rl_ok:  stx     INPTR
        ldx     INVPOS
        ldaa    VALTYP
        jsr     store
        jsr     optcom
        beq     rl_v
rl_end: ldx     INPTR
        ldab    RDFLG
        beq     in_end
        stx     DATPTR
        rts
in_end: jsr     skipbl
        tsta
        beq     in_x
        jsr     outmsg
        dc.b    "?EXTRA IGNORED",13,0
in_x:   rts
rl_bad: ldab    RDFLG
        bne     rd_sn
        jsr     outmsg
        dc.b    "?REDO",13,0
        ldx     INSAVE
        stx     TXTPTR
        jmp     in_re
rd_sn:  jmp     snerr
; inq: "? " and a line of answers into BUF; X = INPTR = BUF
inq:    ldaa    #'?
        jsr     putchr
        jsr     outspc
        jsr     inline
        bcs     in_brk
        ldx     #BUF
        stx     INPTR
        rts
in_brk: jmp     tapbrk          ; BREAK while typing the answer: no CONT

; prudec: D unsigned in decimal
prudec: jsr     givu
        jsr     fpstr
        inx
        jmp     outstr

; ---- LIST and LLIST ----
lprint: ldx     #print
        bra     toprn
llist:  ldx     #list
; toprn: the statement at X on the printer
toprn:  inc     DEVNUM          ; (0 before)
        bsr     tp_go
        clr     DEVNUM
        rts
tp_go:  pshx                    ; the statement, with the flags of its text
        jmp     chrgot

list:   ldx     #0              ; LIST [from][-[to]]
        stx     LINNUM
        dex
        stx     LSTEND
        bcc     ls_1
        bsr     ls_num
ls_1:   jsr     chrgot
        cmpa    #T_MINUS
        bne     ls_go
        ldx     #$FFFF
        stx     LSTEND
        jsr     chrget
        bcc     ls_go
        ldx     LINNUM
        pshx
        bsr     ls_num
        pulx
        stx     LINNUM
ls_go:  jsr     fndlin
ls_l:   ldd     0,x
        beq     ls_x
        ldd     2,x
        subd    LSTEND
        bhi     ls_x
        jsr     brkchk
        bcs     ls_x
        bsr     lstlin
        bra     ls_l
ls_x:   rts
; ls_num: a line number to LINNUM and LSTEND
ls_num: jsr     getlin
        ldx     LINNUM
        stx     LSTEND
        rts

; lstlin: list the line at X; X = the next line
lstlin: pshx
        ldd     2,x
        bsr     prudec
        jsr     outspc
        pulx
        ldab    #4
        abx
        clr     QUOTE
ll_l:   ldaa    0,x
        beq     ll_e
        inx
        cmpa    #'"
        bne     ll_1
        com     QUOTE
ll_1:   tst     QUOTE           ; in quotes: as it is
        bne     ll_raw
        tsta
        bpl     ll_raw
        cmpa    #T_MEM
        bhi     ll_raw
ll_3:   pshx
        jsr     kwfind
ll_kw:  ldaa    0,x
        anda    #$7F
        jsr     putchr
        tst     0,x
        inx                     ; (N kept)
        bpl     ll_kw
        pulx
        bra     ll_l
ll_raw: jsr     putchr
        bra     ll_l
ll_e:   jsr     crlf
        inx
        rts
