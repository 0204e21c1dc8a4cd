; The BASIC interpreter: errors, the command loop, the tokeniser, program
; editing and the statements.

; ---- errors: B = offset of the two-letter code ----
E_NF    equ     0
E_SN    equ     2
E_RG    equ     4
E_OD    equ     6
E_FC    equ     8
E_OV    equ     10
E_OM    equ     12
E_UL    equ     14
E_BS    equ     16
E_DD    equ     18
E_DZ    equ     20
E_ID    equ     22
E_TM    equ     24
E_CN    equ     26
E_IO    equ     28
E_FM    equ     30
errtab: dc.b    "NFSNRGODFCOVOMULBSDD/0IDTMCNIOFM"

nferr:  ldab    #E_NF
        bra     error
snerr:  ldab    #E_SN
        bra     error
rgerr:  ldab    #E_RG
        bra     error
oderr:  ldab    #E_OD
        bra     error
fcerr:  ldab    #E_FC
        bra     error
overr:  ldab    #E_OV
        bra     error
omerr:  ldab    #E_OM
        bra     error
ulerr:  ldab    #E_UL
        bra     error
bserr:  ldab    #E_BS
        bra     error
dderr:  ldab    #E_DD
        bra     error
dzerr:  ldab    #E_DZ
        bra     error
tmerr:  ldab    #E_TM
        bra     error
ioerr:  ldab    #E_IO
        bra     error
fmerr:  ldab    #E_FM
error:  ldx     MEMTOP          ; forget FOR and GOSUB
        clr     0,x
        txs
        clr     DEVNUM
        ldx     #0
        stx     KWPTR
        stx     OLDTXT
        pshb
        jsr     newlin
        ldaa    #'?
        jsr     putchr
        pulb
        ldx     #errtab
        abx
        ldaa    0,x
        jsr     putchr
        ldaa    1,x
        jsr     putchr
        jsr     outmsg
        dc.b    " ERROR",0
        jsr     inmsg
        jsr     crlf
; ---- the command loop ----
ready:  clr     DEVNUM
        jsr     newlin
        jsr     outmsg
        dc.b    "OK",13,0
mainlp: ldx     #$FFFF
        stx     CURLIN
        jsr     inline
        bcs     mainlp
        ldx     #BUF-1
        stx     TXTPTR
        jsr     chrget
        beq     mainlp
        bcs     ml_num
        jsr     crunch
        ldx     #BUF-1
        stx     TXTPTR
        jmp     ns_stmt
ml_num: jsr     getlin
        jsr     crunch          ; X = its terminating 0
        inx
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
        addd    #128
        bcs     ml_om
        subd    MEMTOP
        bcc     ml_om
        ldd     VARTAB          ; open the gap
        std     SRC
        subd    DST
        std     CNT
        ldd     VARTAB
        addd    TMP3
        std     VARTAB
        ldx     DST
        stx     TMP
        std     DST
        jsr     bmovu
        ldx     TMP
        ldd     #1
        std     0,x             ; any non-zero link until relinked
        ldd     LINNUM
        std     2,x
        inx
        inx
        inx
        inx
        stx     DST
        ldx     TXTPTR
        stx     SRC
        ldd     TMP3
        subd    #4
        std     CNT
        jsr     bmovd
ml_don: jsr     relink
        jsr     clrvar
        ldx     MEMTOP
        clr     0,x
        txs
        jmp     mainlp
ml_om:  jmp     omerr

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
        inx
        stx     TXTPTR
chrgot: ldx     TXTPTR
cg_l:   ldaa    0,x
        cmpa    #32
        bne     cg_t
        inx
        stx     TXTPTR
        bra     cg_l
cg_t:   cmpa    #':
        bhs     cg_x
        cmpa    #'0
        bhs     cg_d
        tsta
cg_x:   rts
cg_d:   cmpa    #1
        sec
        rts

chkcls: ldaa    #')
        bra     chkch
chkopn: ldaa    #'(
        bra     chkch
chkcom: ldaa    #',
chkch:  psha
        jsr     chrgot
        pula
        cmpa    0,x
        bne     snerr2
        jmp     chrget
snerr2: jmp     snerr

; ---- tokeniser: crunch the text at TXTPTR in place; X = its final 0 ----
crunch: ldx     TXTPTR          ; upper case outside quotes
        clr     QUOTE
cu_l:   ldaa    0,x
        beq     cu_d
        cmpa    #'"
        bne     cu_1
        com     QUOTE
cu_1:   tst     QUOTE
        bne     cu_n
        cmpa    #'a
        blo     cu_n
        cmpa    #'z
        bhi     cu_n
        suba    #$20
        staa    0,x
cu_n:   inx
        bra     cu_l
cu_d:   ldx     TXTPTR
        stx     SRC
        stx     DST
        clr     QUOTE           ; bit 0 in quotes, bit 1 REM, bit 2 DATA
cr_l:   ldx     SRC
        ldaa    0,x
        bne     *+5
        jmp     cr_end
        ldab    QUOTE
        bitb    #1
        beq     *+5
        jmp     cr_inq
        bitb    #2
        beq     *+5
        jmp     cr_cpy
        cmpa    #'"
        bne     cr_2
        orab    #1
        stab    QUOTE
        jmp     cr_cpy
cr_2:   bitb    #4
        beq     cr_3
        cmpa    #':
        beq     *+5
        jmp     cr_cpy
        clr     QUOTE
        bra     cr_cpy
cr_3:   cmpa    #32
        beq     cr_cpy
        cmpa    #'?
        bne     cr_4
        ldaa    #T_PRINT
        bra     cr_cpy
cr_4:   cmpa    #'0
        blo     cr_kw
        cmpa    #'9
        bls     cr_cpy
cr_kw:  ldx     #kwtab
        stx     TMP
        ldaa    #$80
        staa    RELOP
kw_try: ldx     SRC
        stx     TMP2
kw_c:   ldx     TMP
        ldaa    0,x
        inx
        stx     TMP
        psha
        anda    #$7F
        ldx     TMP2
        cmpa    0,x
        bne     kw_f
        inx
        stx     TMP2
        pula
        tsta
        bpl     kw_c
        ldx     TMP2            ; a keyword
        stx     SRC
        ldaa    RELOP
        cmpa    #T_REM
        bne     kw_d
        ldab    #2
        stab    QUOTE
kw_d:   cmpa    #T_DATA
        bne     kw_e
        ldab    #4
        stab    QUOTE
kw_e:   ldx     DST
        staa    0,x
        inx
        stx     DST
        jmp     cr_l
kw_f:   pula
        tsta
        bmi     kw_nx
kw_sk:  ldx     TMP
        ldaa    0,x
        inx
        stx     TMP
        tsta
        bpl     kw_sk
kw_nx:  inc     RELOP
        ldaa    RELOP
        cmpa    #T_MEM+1
        bne     kw_try
        ldx     SRC
        ldaa    0,x
        bra     cr_cpy
cr_inq: cmpa    #'"
        bne     cr_cpy
        andb    #$FE
        stab    QUOTE
cr_cpy: ldx     DST
        staa    0,x
        inx
        stx     DST
        ldx     SRC
        inx
        stx     SRC
        jmp     cr_l
cr_end: ldx     DST
        clr     0,x
        rts

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
        ldd     SRC
        subd    DST
        std     TMP
        ldd     VARTAB
        subd    TMP
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
        ldd     CNT
        subd    #1
        std     CNT
        bne     bmd_l
bm_x:   rts
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
        ldd     CNT
        subd    #1
        std     CNT
        bne     bmu_l
        rts

; relink: rebuild the line links and VARTAB
relink: ldx     #TXTTAB
rl_l:   ldd     0,x
        beq     rl_x
        stx     TMP
        inx
        inx
        inx
        inx
rl_s:   ldaa    0,x
        inx
        tsta
        bne     rl_s
        stx     TMP2
        ldx     TMP
        ldd     TMP2
        std     0,x
        ldx     TMP2
        bra     rl_l
rl_x:   inx
        inx
        stx     VARTAB
        rts

donew:  ldx     #TXTTAB
        clr     0,x
        clr     1,x
        inx
        inx
        stx     VARTAB
clrvar: ldx     VARTAB
        stx     ARYTAB
        stx     ARYEND
        ldx     #TXTM1
        stx     DATPTR
        ldx     #0
        stx     OLDTXT
        rts

; getlin: line number at TXTPTR to LINNUM
getlin: jsr     getnum
        std     LINNUM
        subd    #64000
        blo     *+5
        jmp     snerr2
        rts

; ---- statement loop ----
newstt: jsr     brkchk
        bcs     dobrk
        jsr     chrgot
        beq     ns_trm
        jmp     snerr
ns_trm: tsta
        bne     ns_stmt         ; ':'
        ldx     CURLIN
        inx
        bne     ns_prg
        jmp     ready
ns_prg: ldx     TXTPTR
        inx
        ldd     0,x
        bne     ns_line
        jmp     ready           ; end of the program
ns_line: ldd    2,x             ; X = a line: run it
        std     CURLIN
        inx
        inx
        inx
        stx     TXTPTR
ns_stmt: jsr    chrget
        beq     newstt
        jsr     dostmt
        bra     newstt

dobrk:  jsr     stopsv
brkmsg: jsr     newlin
        jsr     outmsg
        dc.b    "BREAK",0
        jsr     inmsg
        jsr     crlf
        jmp     ready

stopsv: ldx     CURLIN
        inx
        beq     ss_x
        ldx     TXTPTR
        stx     OLDTXT
        ldx     CURLIN
        stx     OLDLIN
ss_x:   rts

; dostmt: run the statement whose first character is in A
dostmt: tsta
        bmi     ds_tok
        jmp     let
ds_tok: cmpa    #T_LASTST
        bls     *+5
        jmp     snerr2
        suba    #$80
        asla
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
        pshx
        jsr     chrgot
        cmpa    #T_EQ
        beq     *+5
        jmp     snerr2
        jsr     chrget
        jsr     eval
        pulx
        std     0,x
        rts

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
dt_q:   ldaa    0,x
        beq     rm_x
        inx
        cmpa    #'"
        bne     dt_q
        bra     dt_l

end:    bne     snerr3
        pulx
        jsr     stopsv
        jmp     ready
snerr3: jmp     snerr

stop:   bne     snerr3
        pulx
        jmp     dobrk

cont:   ldx     OLDTXT
        bne     ct_ok
        ldab    #E_CN
        jmp     error
ct_ok:  stx     TXTPTR
        ldx     OLDLIN
        stx     CURLIN
        rts

if:     jsr     eval
        std     TMP4
        jsr     chrgot
        cmpa    #T_THEN
        beq     if_ok
        cmpa    #T_GOTO
        bne     snerr3
if_ok:  ldd     TMP4
        beq     rem
        jsr     chrget
        bcs     goto_n
        beq     if_x
        jmp     dostmt
if_x:   rts

goto:   bcc     snerr3
goto_n: jsr     getlin
goto_l: jsr     fndlin
        bcc     ulerr2
        ins
        ins
        jmp     ns_line
ulerr2: jmp     ulerr

gosub:  bcc     snerr3
        jsr     getlin
gosub_l: jsr    fndlin
        bcc     ulerr2
        stx     TMP4
        pulx
        ldx     TXTPTR
        pshx
        ldx     CURLIN
        pshx
        ldaa    #T_GOSUB
        psha
        jsr     stkchk
        ldx     TMP4
        jmp     ns_line

return: pulx
rt_l:   tsx
        ldaa    0,x
        cmpa    #T_GOSUB
        beq     rt_f
        cmpa    #T_FOR
        beq     rt_p
        jmp     rgerr
rt_p:   ldab    #11
        abx
        txs
        bra     rt_l
rt_f:   ins
        pulx
        stx     CURLIN
        pulx
        stx     TXTPTR
        jmp     newstt

; stkchk: out of memory when the stack comes near the arrays
stkchk: tsx
        stx     TMP
        ldd     ARYEND
        addd    #80
        subd    TMP
        bcc     sk_om
        rts
sk_om:  jmp     omerr

on:     jsr     eval
        std     TMP4
        jsr     chrgot
        cmpa    #T_GOTO
        beq     on_ok
        cmpa    #T_GOSUB
        beq     *+5
        jmp     snerr3
on_ok:  psha
        ldx     #0
        stx     FORVAR
on_l:   jsr     chrget
        bcs     *+5
        jmp     snerr3
        jsr     getlin
        ldd     TMP4
        subd    #1
        std     TMP4
        bne     on_n
        ldx     LINNUM
        stx     FORVAR
on_n:   jsr     chrgot
        cmpa    #',
        beq     on_l
        pula
        ldx     FORVAR
        beq     on_x
        stx     LINNUM
        cmpa    #T_GOSUB
        bne     *+5
        jmp     gosub_l
        jmp     goto_l
on_x:   rts

for:    jsr     getvar
        stx     FORVAR
        jsr     chrgot
        cmpa    #T_EQ
        bne     snerr4
        jsr     chrget
        jsr     eval
        ldx     FORVAR
        std     0,x
        jsr     chrgot
        cmpa    #T_TO
        bne     snerr4
        jsr     chrget
        jsr     eval
        pshb
        psha
        jsr     chrgot
        cmpa    #T_STEP
        bne     fr_s1
        jsr     chrget
        jsr     eval
        bra     fr_s2
fr_s1:  ldd     #1
fr_s2:  std     TMP3
        pula
        pulb
        std     TMP2
        pulx                    ; no return: the loop lives on the stack
        tsx
fr_sl:  ldaa    0,x             ; a loop on the same variable ends here
        cmpa    #T_FOR
        bne     fr_new
        ldd     1,x
        subd    FORVAR
        beq     fr_kil
        ldab    #11
        abx
        bra     fr_sl
fr_kil: ldab    #11
        abx
        txs
fr_new: ldx     TXTPTR
        pshx
        ldx     CURLIN
        pshx
        ldx     TMP2
        pshx
        ldx     TMP3
        pshx
        ldx     FORVAR
        pshx
        ldaa    #T_FOR
        psha
        jsr     stkchk
        jmp     newstt
snerr4: jmp     snerr

next:   pulx
        ldx     #0
        stx     FORVAR
        jsr     chrgot
        beq     nx_s
nx_v:   jsr     getvar
        stx     FORVAR
nx_s:   tsx
nx_l:   ldaa    0,x
        cmpa    #T_FOR
        beq     nx_1
        jmp     nferr
nx_1:   ldd     FORVAR
        beq     nx_f
        ldd     1,x
        subd    FORVAR
        beq     nx_f
        ldab    #11
        abx
        txs
        bra     nx_l
nx_f:   stx     TMP4
        ldx     1,x
        ldd     0,x
        ldx     TMP4
        addd    3,x
        bvs     nx_dn
        ldx     1,x
        std     0,x
        ldx     TMP4
        tst     3,x
        bmi     nx_ng
        subd    5,x
        bgt     nx_dn
        bra     nx_lp
nx_ng:  subd    5,x
        blt     nx_dn
nx_lp:  ldd     7,x
        std     CURLIN
        ldd     9,x
        std     TXTPTR
        jmp     newstt
nx_dn:  ldx     TMP4
        ldab    #11
        abx
        txs
        jsr     chrgot
        cmpa    #',
        bne     nx_e
        jsr     chrget
        bra     nx_v
nx_e:   jmp     newstt

run:    beq     run_a
        bcc     snerr4
        jsr     getlin
        jsr     clrvar
        ldx     MEMTOP
        clr     0,x
        txs
        jsr     fndlin
        bcc     ulerr3
        jmp     ns_line
ulerr3: jmp     ulerr
run_a:  jsr     clrvar
        ldx     MEMTOP
        clr     0,x
        txs
        ldx     #TXTM1
        stx     TXTPTR
        ldx     #0
        stx     CURLIN
        jmp     newstt

new:    jsr     donew
        ldx     MEMTOP
        clr     0,x
        txs
        jmp     ready

clear:  beq     cl_n
        jsr     eval
cl_n:   jsr     clrvar
        pulx
        stx     TMP
        ldx     MEMTOP
        clr     0,x
        txs
        ldx     TMP
        jmp     0,x

restore: ldx    #TXTM1
        stx     DATPTR
        rts

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

sound:  jsr     evbyte
        pshb
        jsr     chkcom
        jsr     evbyte
        pula
        jmp     dosound

cls:    beq     cs_0
        jsr     evbyte
        cmpb    #8
        bhi     fcerr2
        ldaa    #$80
        tstb
        beq     cs_a
        decb
        aslb
        aslb
        aslb
        aslb
        orab    #$8F
        tba
cs_a:   jmp     clsa
cs_0:   jmp     cls0
fcerr2: jmp     fcerr

; setxy: "(x,y" to X = screen cell, B = bit of the block
setxy:  jsr     chkopn
        jsr     evbyte
        cmpb    #63
        bhi     fcerr2
        pshb
        jsr     chkcom
        jsr     evbyte
        cmpb    #31
        bhi     fcerr2
        pula
        stab    TMP
        staa    TMP+1
        ldab    #8
        ldaa    TMP
        anda    #1
        beq     sx_1
        ldab    #2
sx_1:   ldaa    TMP+1
        anda    #1
        beq     sx_2
        lsrb
sx_2:   stab    KTMP
        ldab    TMP
        lsrb
        clra
        asld
        asld
        asld
        asld
        asld
        std     TMP2
        ldab    TMP+1
        lsrb
        clra
        addd    TMP2
        addd    #SCREEN
        std     TMP2
        ldx     TMP2
        ldab    KTMP
        rts

; setxyc: "(x,y)" as setxy, closing bracket included; A = the cell, N set for a block
setxyc: jsr     setxy
        pshx
        pshb
        jsr     chkcls
        pulb
        pulx
        ldaa    0,x
        rts

set:    jsr     setxy
        pshx
        pshb
        jsr     chkcom
        jsr     evbyte
        cmpb    #8
        bhi     fcerr2
        stab    TMP3
        jsr     chkcls
        pulb
        pulx
        ldaa    0,x
        bmi     st_g
        ldaa    #$80            ; a text cell becomes an empty block
st_g:   tst     TMP3
        beq     st_k
        anda    #$8F
        psha
        ldaa    TMP3
        deca
        asla
        asla
        asla
        asla
        staa    TMP3
        pula
        oraa    TMP3
st_k:   stab    TMP3
        oraa    TMP3
        staa    0,x
        rts

resetst: jsr    setxyc
        bmi     rt_g
        ldaa    #$80
        bra     rt_s
rt_g:   comb
        stab    TMP3
        anda    TMP3
rt_s:   staa    0,x
        rts

; ---- PRINT and LPRINT ----
lprint: ldaa    #1
        staa    DEVNUM
        jsr     chrgot
        jsr     print
        clr     DEVNUM
        rts

print:  beq     pr_cr
pr_it:  cmpa    #';
        beq     pr_sem
        cmpa    #',
        beq     pr_com
        cmpa    #'"
        beq     pr_str
        cmpa    #T_TAB
        beq     pr_tab
        cmpa    #T_CHRS
        beq     pr_chr
        cmpa    #'@
        beq     pr_at
        jsr     eval
        jsr     prnum
pr_nx:  jsr     chrgot
        bne     pr_it
pr_cr:  jmp     crlf
pr_sem: jsr     chrget
        bne     pr_it
        rts
pr_com: jsr     getcol
        andb    #15
        negb
        addb    #16
        tst     DEVNUM
        bne     pc_sp
        ldaa    CURPOS+1
        anda    #31
        cmpa    #16
        blo     pc_sp
        jsr     crlf
        bra     pr_sem
pc_sp:  jsr     outspc
        decb
        bne     pc_sp
        bra     pr_sem
pr_str: jsr     strlit
        bra     pr_nx
pr_tab: jsr     chrget
        jsr     evbyte
        jsr     chkcls
        stab    TMP3
pt_l:   jsr     getcol
        cmpb    TMP3
        bhs     pr_nx
        jsr     outspc
        bra     pt_l
pr_chr: jsr     chrget
        jsr     parexp
        tba
        jsr     putchr
        bra     pr_nx
pr_at:  jsr     chrget
        jsr     eval
        subd    #512
        bcs     *+5
        jmp     fcerr2
        addd    #512+SCREEN
        std     CURPOS
        jsr     chrgot
        cmpa    #',
        bne     pr_nx
        bra     pr_sem

; strlit: print the quoted text at TXTPTR
strlit: ldx     TXTPTR
        inx
sl_l:   ldaa    0,x
        beq     sl_e
        inx
        cmpa    #'"
        beq     sl_e
        jsr     putchr
        bra     sl_l
sl_e:   stx     TXTPTR
        rts

; prnum: D as a signed number with a sign place before and a blank after
prnum:  tsta
        bpl     pn_p
        psha
        ldaa    #'-
        jsr     putchr
        pula
        coma
        comb
        addd    #1
        bra     pn_d
pn_p:   jsr     outspc
pn_d:   jsr     prudec
        jmp     outspc

; prudec: D unsigned in decimal
prudec: jsr     d2str
        jmp     outstr

; d2str: D unsigned to text at NUMBUF; X = NUMBUF
d2str:  std     TMP
        ldx     #NUMBUF
        stx     DST
        ldx     #p10tab
ds_l:   stx     SRC
        ldaa    #'0
        staa    RBYTE
ds_s:   ldd     TMP
        subd    0,x
        bcs     ds_d
        std     TMP
        inc     RBYTE
        bra     ds_s
ds_d:   ldaa    RBYTE
        cmpa    #'0
        bne     ds_st
        ldx     DST
        cpx     #NUMBUF
        bne     ds_st
        ldx     SRC
        ldd     0,x
        subd    #1
        bne     ds_nx
        ldaa    #'0
ds_st:  ldx     DST
        staa    0,x
        inx
        stx     DST
ds_nx:  ldx     SRC
        inx
        inx
        cpx     #p10end
        bne     ds_l
        ldx     DST
        clr     0,x
        ldx     #NUMBUF
        rts
p10tab: dc.w    10000,1000,100,10,1
p10end:

; ---- INPUT ----
input:  ldx     CURLIN
        inx
        bne     in_ok
        ldab    #E_ID
        jmp     error
in_ok:  cmpa    #'"
        bne     in_p
        jsr     strlit
        jsr     chrgot
        cmpa    #';
        beq     *+5
        jmp     snerr5
        jsr     chrget
in_p:   ldx     TXTPTR
        stx     INSAVE
in_ask: ldaa    #'?
        jsr     putchr
in_mor: jsr     outspc
        jsr     inline
        bcs     in_brk
        ldx     #BUF-1
        stx     INPTR
in_var: ldx     TXTPTR
        stx     INVPOS
        jsr     getvar
        pshx
        jsr     swaptp
in_get: jsr     chrget
        bne     in_hv
        tsta
        bne     in_rd           ; ':' is not a number
        jsr     swaptp
        pulx                    ; more values wanted: "??"
        ldx     INVPOS
        stx     TXTPTR
        ldaa    #'?
        jsr     putchr
        ldaa    #'?
        jsr     putchr
        jsr     outspc
        jsr     inline
        bcs     in_brk
        ldx     #BUF-1
        stx     INPTR
        bra     in_var
in_hv:  jsr     sgnnum
        bcs     in_rd
        pulx
        std     0,x
        jsr     chrgot
        bne     in_cm
        ldx     TXTPTR          ; stay on the end of the input
        dex
        stx     TXTPTR
        bra     in_dn
in_cm:  cmpa    #',
        bne     in_rd2
in_dn:  jsr     swaptp
        jsr     chrgot
        cmpa    #',
        bne     in_x
        jsr     chrget
        bra     in_var
in_x:   rts
in_rd:  pulx
in_rd2: jsr     swaptp
        jsr     outmsg
        dc.b    "?REDO",13,0
        ldx     INSAVE
        stx     TXTPTR
        jmp     in_ask
in_brk: ldx     MEMTOP          ; BREAK while typing the answer: no CONT
        clr     0,x
        txs
        ldx     #0
        stx     OLDTXT
        jmp     brkmsg
snerr5: jmp     snerr

; swaptp: exchange TXTPTR and INPTR
swaptp: ldd     TXTPTR
        ldx     INPTR
        stx     TXTPTR
        std     INPTR
        rts

; sgnnum: optional sign and digits at TXTPTR to D; C set when there are none
sgnnum: cmpa    #'-
        beq     sg_n
        cmpa    #T_MINUS
        beq     sg_n
        cmpa    #'+
        beq     sg_p
        cmpa    #T_PLUS
        bne     sg_d
sg_p:   jsr     chrget
sg_d:   jsr     chrgot
        bcc     sg_bad
        jsr     getnum
        clc
        rts
sg_n:   jsr     chrget
        bcc     sg_bad
        jsr     getnum
        coma
        comb
        addd    #1
        clc
        rts
sg_bad: sec
        rts

; ---- DATA and READ ----
read:   jsr     getvar
        pshx
        jsr     swapdt
        jsr     chrgot
        cmpa    #',
        beq     rd_it
        ldx     TXTPTR          ; find the next DATA
rd_f:   ldaa    0,x
        bne     rd_1
        ldd     1,x
        bne     rd_2
        jsr     swapdt
        jmp     oderr
rd_2:   ldab    #5
        abx
        bra     rd_f
rd_1:   cmpa    #T_DATA
        beq     rd_fd
        inx
        cmpa    #'"
        bne     rd_f
rd_q:   ldaa    0,x
        beq     rd_f
        inx
        cmpa    #'"
        bne     rd_q
        bra     rd_f
rd_fd:  stx     TXTPTR
rd_it:  jsr     chrget
        jsr     sgnnum
        bcs     rd_bad
        pulx
        std     0,x
        jsr     chrgot
        beq     rd_ok
        cmpa    #',
        bne     rd_bd2
rd_ok:  jsr     swapdt
        jsr     chrgot
        cmpa    #',
        beq     *+5
        jmp     in_x
        jsr     chrget
        bra     read
rd_bad: pulx
rd_bd2: jsr     swapdt
        jmp     snerr

swapdt: ldd     TXTPTR
        ldx     DATPTR
        stx     TXTPTR
        std     DATPTR
        rts

; ---- LIST and LLIST ----
llist:  ldaa    #1
        staa    DEVNUM
        jsr     chrgot
        jsr     list
        clr     DEVNUM
        rts

list:   ldx     #0
        stx     LINNUM
        ldx     #$FFFF
        stx     LSTEND
        jsr     chrgot
        beq     ls_go
        bcc     ls_dsh
        jsr     getlin
        ldx     LINNUM
        stx     LSTEND
        jsr     chrgot
        beq     ls_go
ls_dsh: cmpa    #T_MINUS
        beq     *+5
        jmp     snerr5
        ldx     #$FFFF
        stx     LSTEND
        jsr     chrget
        beq     ls_go
        bcs     *+5
        jmp     snerr5
        ldx     LINNUM
        pshx
        jsr     getlin
        ldx     LINNUM
        stx     LSTEND
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
        jsr     lstlin
        bra     ls_l
ls_x:   rts

; lstlin: list the line at X; X = the next line
lstlin: stx     TMP4
        ldd     2,x
        jsr     prudec
        jsr     outspc
        ldx     TMP4
        inx
        inx
        inx
        inx
        clr     QUOTE
ll_l:   ldaa    0,x
        beq     ll_e
        inx
        cmpa    #'"
        bne     ll_1
        ldab    QUOTE
        bitb    #2
        bne     ll_raw
        eorb    #1
        stab    QUOTE
        bra     ll_raw
ll_1:   ldab    QUOTE
        bitb    #3
        bne     ll_raw
        bitb    #4
        beq     ll_tk
        cmpa    #':
        bne     ll_raw
        clr     QUOTE
        bra     ll_raw
ll_tk:  tsta
        bpl     ll_raw
        cmpa    #T_MEM
        bhi     ll_raw
        cmpa    #T_REM
        bne     ll_2
        ldab    #2
        stab    QUOTE
ll_2:   cmpa    #T_DATA
        bne     ll_3
        ldab    #4
        stab    QUOTE
ll_3:   pshx
        jsr     kwfind
ll_kw:  ldaa    0,x
        anda    #$7F
        jsr     putchr
        ldaa    0,x
        inx
        tsta
        bpl     ll_kw
        pulx
        bra     ll_l
ll_raw: jsr     putchr
        bra     ll_l
ll_e:   jsr     crlf
        inx
        rts
