; Binary floating point: 5-byte numbers, one accumulator (FAC), one argument
; register (ARG), arithmetic, conversions, number text and the functions.
;
; Packed number (variables, arrays, the expression stack): exponent byte
; (excess 128, 0 means zero), then 4 mantissa bytes, most significant first;
; bit 7 of the first mantissa byte is the sign (1 negative), the leading 1 of
; the mantissa is implied. Value = (-1)^s * 0.1mmm... * 2^(exp-128):
; 1 = $81 $00 $00 $00 $00, .5 = $80 $00.., -1 = $81 $80 $00 $00 $00.
; Unpacked (FAC, ARG): exponent, 4 mantissa bytes with the leading 1 present,
; a rounding byte (the bits below the mantissa), a sign byte ($00 plus, $FF
; minus). Results are rounded to 32 bits, halves away from zero.
;
; RAM (direct page $D8-$FF and FPBUF; the interpreter reads only FACEXP and
; FACSGN and writes none of them):
FACEXP  equ     $D8             ; FAC exponent, 0: FAC is zero
FACM    equ     $D9             ; FAC mantissa (4)
FACRND  equ     $DD             ; FAC rounding byte
FACSGN  equ     $DE             ; FAC sign: $00 plus, $FF minus
ARGEXP  equ     $E0             ; ARG, laid out as FAC (8 bytes further on)
ARGM    equ     $E1
ARGRND  equ     $E5
ARGSGN  equ     $E6
FPEXP   equ     $E7             ; result exponent being worked on (2, signed)
FPCNT   equ     $E9             ; loop counter
FPPRD   equ     $EA             ; product / quotient bytes (8)
FPREM   equ     $F2             ; division remainder (4)
FPTMP   equ     $F6             ; scratch (6)
RNDSD   equ     $FC             ; random number seed (4)
FPFRC   equ     $DF             ; fraction bits seen by fpuint and fpint
FPBUF   equ     $4258           ; number text, 0-terminated ($4258-$4267)
FPT5    equ     FPBUF           ; packed temporaries (5 bytes each) in
FPT6    equ     FPBUF+5         ; slots from FPBUF on: TAN, ^ and the series
FPT4    equ     FPBUF+10        ; keep theirs in the text buffer
FPT1    equ     FPBUF+20
FPT2    equ     FPBUF+25
FPT3    equ     FPBUF+30
FPE     equ     $427C           ; power of ten being applied (2, signed)
FPK     equ     FPFRC           ; decimal exponent / binary exponent
;
; Routines (all change A, B and X unless stated; ARG is lost in everything
; but fpld, fpst, fpmul, fpdiv, fpcmp and the integer conversions; errors jump
; to overr (?OV), dzerr (?/0) and fcerr (?FC)):
;  fpld     X -> FAC: load the packed number at X (X preserved)
;  fpldarg  X -> ARG: load the packed number at X (X preserved)
;  fpst     FAC -> X: store FAC packed at X (X preserved)
;  fpmov    FAC -> ARG
;  fpadd    FAC = ARG + FAC         fpsub   FAC = ARG - FAC
;  fpmul    FAC = ARG * FAC         fpdiv   FAC = ARG / FAC (FAC 0: ?/0)
;  fppow    FAC = ARG ^ FAC (integer powers by repeated squaring; 0^-n ?/0;
;           negative base with a fractional power ?FC)
;  fpneg    FAC = -FAC              fpabs   FAC = ABS(FAC)
;  fpsgn    FAC = SGN(FAC)          fpint   FAC = INT(FAC) (floor)
;  fpcmp    compare ARG with FAC: B = 1 (ARG > FAC), 0 (equal), $FF (ARG <
;           FAC), Z and N as B
;  fpfromd  signed D -> FAC         fpfromb unsigned B -> FAC
;  fpfromu  unsigned D -> FAC       fpone   FAC = 1 with FAC's sign
;  fptod    FAC -> signed D, towards zero; ?FC outside -32768..32767
;  fptoad   FAC -> D as an address, -32768..65535 (negatives wrap); else ?FC
;  fpparse  text at X (digits, '.', 'E' with a sign as '+' '-' or the tokens
;           $A7 $A8, blanks skipped) -> FAC, X after the number; ?OV
;  fpstr    FAC -> text at FPBUF, 0-terminated, X = FPBUF: " 5", "-.25",
;           " 1.5E-05" (9 digits at most, E form below .01 and from 1E9)
;  fprnd    FAC = RND(FAC): 0 -> fraction in (0,1); n >= 1 -> integer
;           1..INT(n); negative -> reseeds from the number, then a fraction
;  fpsqr fplog fpexp fpsin fpcos fptan: FAC = f(FAC); SQR of a negative
;           and LOG of <= 0 give ?FC, EXP overflow ?OV, SIN COS TAN of
;           more than about 100000 ?FC
; Speed in cycles, typical operands: + 400, * 780, / 2850, SQR 13200, A^2
; 1700, RND 800 (RND(n) 3850), LOG EXP SIN COS 17000-19000, TAN 42000,
; number to text 7900, text to number 4250.


; SQR LOG EXP SIN COS TAN and fractional powers take about 500 bytes; with
; FPFUNCS set to 0 they are left out and give ?FC
FPFUNCS equ     1

; ---- loading, storing, moving ----
fparg1  ldx     #fpc1           ; ARG = 1
fpldarg ldd     3,x
        std     ARGM+2
        ldd     1,x
        std     ARGM
        ldab    0,x
        pshx
        ldx     #ARGEXP
        bra     fpunp
fpld    ldd     3,x
        std     FACM+2
        ldd     1,x
        std     FACM
        ldab    0,x
        pshx
        ldx     #FACEXP
fpunp   stab    0,x             ; exponent; A = sign and top bits
        clr     5,x
        tab
        orab    #$80
        stab    1,x
        asla                    ; C = sign
        ldaa    #0
        sbca    #0
        staa    6,x
        pulx
        rts

fpst    ldaa    FACEXP
        staa    0,x
        ldaa    FACSGN
        oraa    #$7F
        anda    FACM
        ldab    FACM+1
        std     1,x
        ldd     FACM+2
        std     3,x
        rts

fpmov   ldd     FACEXP
        std     ARGEXP
        ldd     FACM+1
        std     ARGM+1
        ldd     FACM+3          ; with the rounding byte
        std     ARGM+3
        ldaa    FACSGN
        staa    ARGSGN
        rts

; ---- sign ----
fpneg   SUBROUTINE
        tst     FACEXP
        beq     .r
        com     FACSGN
.r      rts

fpabs   clr     FACSGN
        rts

fpsgn   tst     FACEXP
        bne     fpone
        rts
; FAC = 1 with FAC's sign
fpone   ldd     #$8180
        std     FACEXP
        clra
        clrb
        std     FACM+1
        std     FACM+3
        rts

; exchange FAC and ARG
fpswap  SUBROUTINE
        ldx     #FACEXP
.l      ldaa    0,x
        ldab    8,x
        staa    8,x
        stab    0,x
        inx
        cpx     #FACSGN+1
        bne     .l
        rts

; shift the 5 bytes at X one bit left / right (A and B kept)
fpshl   clc
fprl5   rol     4,x
        rol     3,x
        rol     2,x
        rol     1,x
        rol     0,x
        rts
fpshr   clc
fprr5   ror     0,x
        ror     1,x
        ror     2,x
        ror     3,x
        ror     4,x
        rts

; ---- addition: the larger magnitude in FAC, ARG shifted to match ----
fpsub   bsr     fpneg
fpadd   SUBROUTINE
        ldab    ARGEXP
        beq     .r
        ldaa    FACEXP
        beq     fpswap          ; FAC 0: the sum is ARG
        sba
        bhi     .align
        bne     .swap
        ldd     FACM            ; equal exponents: compare the mantissas
        subd    ARGM
        bne     .c
        ldd     FACM+2
        subd    ARGM+2
.c      bcc     .d
.swap   bsr     fpswap
.d      ldaa    FACEXP
        suba    ARGEXP
.align  cmpa    #40
        bhs     .r              ; ARG too small to count
.byte   cmpa    #8
        blo     .bit
        ldab    ARGM+3          ; ARG one byte down
        stab    ARGRND
        ldx     ARGM+1
        stx     ARGM+2
        ldab    ARGM
        stab    ARGM+1
        clr     ARGM
        suba    #8
        bra     .byte
.bit    ldx     #ARGM
.bl     tsta
        beq     .go
        bsr     fpshr
        deca
        bra     .bl
.go     ldab    FACEXP
        std     FPEXP           ; A = 0 here
        ldaa    FACSGN
        eora    ARGSGN
        bmi     .sub
        ldaa    FACRND
        adda    ARGRND
        staa    FACRND
        ldd     FACM+2
        adcb    ARGM+3
        adca    ARGM+2
        std     FACM+2
        ldd     FACM
        adcb    ARGM+1
        adca    ARGM
        std     FACM
        bcc     .norm
        ldx     #FACM
        bsr     fprr5
        ldx     FPEXP
        inx
        stx     FPEXP
        bra     .norm
.r      rts
.sub    ldaa    FACRND
        suba    ARGRND
        staa    FACRND
        ldd     FACM+2
        sbcb    ARGM+3
        sbca    ARGM+2
        std     FACM+2
        ldd     FACM
        sbcb    ARGM+1
        sbca    ARGM
        std     FACM
.norm                           ; on into fpnorm

; ---- normalising and rounding ----
; in: FACM..FACRND a 40-bit mantissa, FPEXP its exponent (16-bit, signed);
; out: FAC normalised and rounded to 32 bits (halves away from zero), zero
; when the mantissa is 0 or the exponent falls below 1; ?OV above 255
fpnorm  SUBROUTINE
        clrb                    ; bits shifted
.byte   ldaa    FACM
        bne     .bits
        addb    #8
        cmpb    #40
        bhs     fpzero
        ldx     FACM+1          ; one byte up
        stx     FACM
        ldx     FACM+3
        stx     FACM+2
        clr     FACRND
        bra     .byte
.bits   ldx     #FACM
.bl     tsta
        bmi     .adj
        jsr     fpshl
        incb
        ldaa    FACM
        bra     .bl
.adj    tstb                    ; FPEXP -= B
        beq     .round
        clra
        negb
        sbca    #0
        addd    FPEXP
        std     FPEXP
.round  tst     FACRND
        bpl     .range
        ldx     FACM+2
        inx
        stx     FACM+2
        bne     .range
        ldx     FACM
        inx
        stx     FACM
        bne     .range
        ldaa    #$80            ; carried out: mantissa $80000000
        staa    FACM
        ldx     FPEXP
        inx
        stx     FPEXP
.range  clr     FACRND
        ldd     FPEXP
        tsta
        bne     .out
        stab    FACEXP          ; (Z as B)
        beq     fpzero
        rts
.out    bmi     fpzero
        jmp     overr

fpzero  clra
        staa    FACEXP
        staa    FACSGN
        staa    FACRND
        rts

; ---- multiplication: one row of 8x8 products per byte of ARG ----
FPPO    equ     FPPRD-ARGM      ; from an ARG byte to its place in the product
fpmul   SUBROUTINE
        ldab    ARGEXP
        beq     fpzero
        ldab    FACEXP
        beq     .r
        clra
        addb    ARGEXP
        adca    #0
        subd    #128
        std     FPEXP
        ldaa    FACSGN
        eora    ARGSGN
        staa    FACSGN
        clra
        clrb
        std     FPPRD+4
        std     FPPRD+6
        ldx     #ARGM+3
.row    ldaa    0,x
        beq     .zero
        ldab    FACM+3
        mul
        std     FPTMP+3
        ldaa    0,x
        ldab    FACM+2
        mul
        addb    FPTMP+3
        adca    #0
        std     FPTMP+2
        ldaa    0,x
        ldab    FACM+1
        mul
        addb    FPTMP+2
        adca    #0
        std     FPTMP+1
        ldaa    0,x
        ldab    FACM
        mul
        addb    FPTMP+1
        adca    #0
        std     FPTMP           ; the row: FACM * this byte, 5 bytes
        ldd     FPTMP+3
        addd    FPPO+3,x
        std     FPPO+3,x
        ldd     FPTMP+1
        adcb    FPPO+2,x
        adca    FPPO+1,x
        std     FPPO+1,x
        ldaa    FPTMP
        adca    #0
.zero   staa    FPPO,x
        dex
        cpx     #ARGM-1
        bne     .row
        ldd     FPPRD
        std     FACM
        ldd     FPPRD+2
        std     FACM+2
        ldaa    FPPRD+4
        staa    FACRND
        jmp     fpnorm
.r      rts

; ---- division: restoring, one quotient bit a step, 34 bits ----
fpdiv   SUBROUTINE
        ldab    FACEXP
        beq     .dz
        ldab    ARGEXP
        beq     fpmul           ; ARG 0: 0 (through fpmul)
        clra
        addd    #129
        subb    FACEXP
        sbca    #0
        std     FPEXP
        ldaa    FACSGN
        eora    ARGSGN
        staa    FACSGN
        ldd     ARGM            ; the remainder starts as ARG
        std     FPREM
        ldd     ARGM+2
        std     FPREM+2
        ldx     #FPPRD          ; quotient bits are kept inverted
        ldab    #8
        stab    FPCNT
        clc                     ; the first bit: ARG >= FAC?
        bra     .cmp
.byte   stab    FPCNT
.step   ldd     FPREM+2
        asld
        std     FPREM+2
        ldd     FPREM
        rolb
        rola
        std     FPREM
.cmp    bcs     .force
        ldd     FPREM+2
        subd    FACM+2
        std     FPTMP
        ldab    FPREM+1
        sbcb    FACM+1
        ldaa    FPREM
        sbca    FACM
        bcs     .q
.take   std     FPREM
        ldd     FPTMP
        std     FPREM+2
.q      rol     0,x
        dec     FPCNT
        bne     .step
        inx
        ldab    #8
        cpx     #FPPRD+4
        blo     .byte
        bne     .done
        ldab    #2              ; two more bits for rounding
        bra     .byte
.dz     jmp     dzerr
.force  ldd     FPREM+2
        subd    FACM+2
        std     FPTMP
        ldab    FPREM+1
        sbcb    FACM+1
        ldaa    FPREM
        sbca    FACM
        clc
        bra     .take
.done   ldd     FPPRD
        coma
        comb
        std     FACM
        ldd     FPPRD+2
        coma
        comb
        std     FACM+2
        ldab    FPPRD+4
        comb
        ldaa    #64
        mul
        stab    FACRND
        jmp     fpnorm

; ---- comparison ----
fpcmp   SUBROUTINE
        ldab    ARGEXP
        beq     .az             ; ARG 0: minus the sign of FAC
        ldab    FACEXP
        beq     .as             ; FAC 0: the sign of ARG
        ldaa    ARGSGN
        cmpa    FACSGN
        bne     .as             ; signs differ: the sign of ARG
        ldab    ARGEXP
        cmpb    FACEXP
        bne     .d
        ldd     ARGM
        subd    FACM
        bne     .d
        ldd     ARGM+2
        subd    FACM+2
        beq     .r              ; B = 0
.d      ldaa    ARGSGN          ; the larger magnitude, its sign
        bcc     .x
        coma
        bra     .x
.az     ldab    FACEXP
        beq     .r
        ldaa    FACSGN          ; ARG 0: minus the sign of FAC
        coma
        dc.b    $8C             ; (cpx #: skips the ldaa)
.as     ldaa    ARGSGN
.x      clrb                    ; 1 or -1 from the sign in A
        asla
        sbcb    #0
        orab    #1
.r      rts                     ; (equal: B = 0 and Z set already)

; ---- integers ----
fpfromd tsta
        bpl     fpfromu
        coma                    ; negative: the magnitude, then the sign
        comb
        addd    #1
        bsr     fpfromu
        jmp     fpneg
fpfromb clra
fpfromu clr     FACSGN          ; unsigned D
        std     FACM
        clra
        clrb
        std     FACM+2
        ldab    #144
; FAC = FACM as a whole number scaled by 2^(B-160), rounded; FACSGN kept
fpnb    clr     FACRND
        clra
fpnbe   std     FPEXP           ; D the exponent
        jmp     fpnorm

; FPPRD..+3 = INT(ABS(FAC)) for FAC below 2^32, FPFRC nonzero when bits
; were cut off
fptrunc SUBROUTINE
        ldd     FACM
        std     FPPRD
        ldd     FACM+2
        std     FPPRD+2
        clr     FPFRC
        ldab    #160
        subb    FACEXP
        cmpb    #33
        blo     .byte
        clra                    ; below 1 (or 0)
        clrb
        std     FPPRD
        std     FPPRD+2
        ldaa    FACEXP
        staa    FPFRC
        rts
.byte   cmpb    #8
        blo     .bit
        ldaa    FPPRD+3
        oraa    FPFRC
        staa    FPFRC
        ldx     FPPRD+1
        stx     FPPRD+2
        ldaa    FPPRD
        staa    FPPRD+1
        clr     FPPRD
        subb    #8
        bra     .byte
.bit    ldx     #FPPRD-1
        ldaa    #1
.bl     tstb
        beq     .r
        lsr     1,x
        ror     2,x
        ror     3,x
        ror     4,x
        bcc     .nf
        staa    FPFRC
.nf     decb
        bra     .bl
.r      rts

; FAC -> D = INT(ABS(FAC)), FPFRC nonzero when a fraction was cut off;
; C set when ABS(FAC) >= 65536
fpuint  SUBROUTINE
        ldab    #144
        cmpb    FACEXP
        bcs     .r
        bsr     fptrunc
        ldd     FPPRD+2         ; C clear from fptrunc
.r      rts

fptoad  bsr     fpuint
        bcs     fpfc
        tst     FACSGN
        bmi     fpnegd
        rts
fptod   bsr     fptoad          ; and 32768..65535 refused
        tsta
        bpl     fptr
        tst     FACSGN
        bpl     fpfc
fptr    rts
fpnegd  SUBROUTINE
        coma
        comb
        addd    #1
        bmi     .r
        bne     fpfc
.r      rts
fpfc    jmp     fcerr

; INT: floor
fpint   SUBROUTINE
        ldab    FACEXP          ; (a zero stays zero through fptrunc)
        cmpb    #160
        bhs     .r              ; no fraction bits
        jsr     fptrunc
        tst     FACSGN
        bpl     .n
        tst     FPFRC
        beq     .n
        ldx     FPPRD+2         ; negative with a fraction: one further down
        inx
        stx     FPPRD+2
        bne     .n
        ldx     FPPRD
        inx
        stx     FPPRD
.n      ldd     FPPRD
        std     FACM
        ldd     FPPRD+2
        std     FACM+2
        ldab    #160
        jmp     fpnb
.r      rts

; ---- powers of ten ----
; FAC = FAC * 10^FPE (FPE signed, 0 on return); uses FPCNT and FPT1
fpscale SUBROUTINE
.l      ldd     FPE
        beq     .r
        bpl     .p
        coma
        comb
        addd    #1
.p      tsta
        bne     .c
        cmpb    #38
        bls     .s
.c      ldab    #38             ; at most 10^38 at a time
.s      stab    FPCNT
        ldaa    FPE
        psha                    ; the sign: multiply or divide
        bmi     .n
        negb                    ; FPE - FPCNT
        ldaa    #$FF
        dc.b    $21             ; (brn: skips the clra)
.n      clra                    ; FPE + FPCNT
        addd    FPE
        std     FPE
        jsr     fpdo
        dc.b    OST+ET1,OLD+EC1,0
        ldx     #fpp10          ; 10^FPCNT, a table entry for each bit
.bit    lsr     FPCNT
        bcc     .nx
        pshx
        jsr     fplmul
        pulx
.nx     ldab    #5
        abx
        tst     FPCNT
        bne     .bit
        jsr     fpdo
        dc.b    OLDA+ET1,0
        pula
        tsta
        bmi     .div
        jsr     fpmul
        bra     .l
.div    jsr     fpdiv
        bra     .l
.r      rts

; FACM.. up to the byte at X = that * 10 + A; A = what carries out
fpm10   staa    FPCNT
        ldaa    #10
        ldab    0,x
        mul
        addb    FPCNT
        adca    #0
        stab    0,x
        dex
        cpx     #FACM-1
        bne     fpm10
        rts

; ---- text to number ----
; the digits make a 32-bit integer (later digits only move the point), then
; one multiplication or division by a power of ten
fpparse SUBROUTINE
        clra
        clrb
        std     FACM
        std     FACM+2
        std     FPE
        staa    FPREM           ; $FF once a point is seen
        dex
.nx     inx
.l      ldaa    0,x
        cmpa    #$20
        beq     .nx
        cmpa    #'.
        bne     .dig
        com     FPREM
        bne     .nx             ; a second point ends the number (.note)
.dig    suba    #'0
        cmpa    #9
        bhi     .note
        ldab    FACM
        cmpb    #$19
        bhs     .skip           ; no room: the digit only moves the point
        pshx
        ldx     #FACM+3
        bsr     fpm10
        pulx
        ldab    FPREM           ; after the point: one place down
        tba
        bra     .ad
.skip   ldab    FPREM           ; before it: one place up
        incb
        clra
.ad     addd    FPE
        std     FPE
        bra     .nx
.note   cmpa    #'E-'0
        bne     .end
        clra
        clrb
        std     FPTMP           ; exponent sign, exponent
.es     inx
        ldaa    0,x
        cmpa    #$20
        beq     .es
        cmpa    #'+
        beq     .ep
        cmpa    #T_PLUS
        beq     .ep
        cmpa    #'-
        beq     .em
        cmpa    #T_MINUS
        bne     .ed
.em     com     FPTMP
.ep     inx
.ed     ldaa    0,x
        cmpa    #$20
        beq     .en
        suba    #'0
        cmpa    #9
        bhi     .ee
        ldab    FPTMP+1
        cmpb    #25
        bhs     .sat
        staa    FPTMP+2
        ldaa    #10
        mul
        addb    FPTMP+2
        dc.b    $8C             ; (cpx #: skips the ldab)
.sat    ldab    #250            ; far out of range either way
.sv     stab    FPTMP+1
.en     inx
        bra     .ed
.ee     ldd     FPTMP           ; (the sign byte is 0 or $FF)
        bpl     .ea
        clra
        negb
        sbca    #0
.ea     addd    FPE
        std     FPE
.end    pshx
        clr     FACSGN
        ldab    #160
        jsr     fpnb
        jsr     fpscale
        pulx
        rts

; ---- number to text ----
; z = ABS(x) / 10^(K+1) in .1 <= z < 1 gives the digits as a binary fraction;
; K starts from the binary exponent and is put right when z falls outside
fpstr   SUBROUTINE
        ldd     #$2030          ; " 0", whatever the sign byte says
        ldx     #FPBUF+2
        tst     FACEXP
        bne     .nz
        std     FPBUF
        jmp     .fin
.nz     ldab    FACSGN          ; '-' or ' '
        andb    #'--$20
        aba
        staa    FPBUF
        clr     FACSGN
        ldx     #FPT2
        jsr     fpst
        ldaa    FACEXP          ; K from the binary exponent: right or one
        ldab    #77             ; too big
        mul
        suba    #38
        staa    FPK
.try    ldab    FPK
        comb                    ; -1-K
        clra
        tstb
        bpl     .t2
        coma
.t2     std     FPE
        ldx     #FPT2
        jsr     fpld
        jsr     fpscale
        ldab    #128
        subb    FACEXP
        bcs     .one            ; z >= 1: only by rounding in the scaling
        ldx     #FACM           ; (z >= .01: a few places at most)
.sh     tstb
        beq     .rd
        jsr     fpshr
        decb
        bra     .sh
.rd     ldd     FACM            ; z < .1?
        subd    #$1999
        bne     .c
        ldd     FACM+2
        subd    #$9999
        bne     .c
        ldaa    FACRND
        cmpa    #$9A
.c      bcs     .down
        ldd     FACM+3          ; + 5E-10: rounds to 9 digits
        addd    #550
        std     FACM+3
        bcc     .ok
        ldx     FACM+1
        inx
        stx     FACM+1
        bne     .ok
        inc     FACM
        bne     .ok
.one    inc     FPK             ; 1.00000000 and the next power
        ldd     #$1999          ; .1 and a little: the digits 100000000
        std     FACM
        ldd     #$999A
        std     FACM+2
        bra     .ok
.down   dec     FPK
        bra     .try
.ok     ldab    FPK
        addb    #2
        cmpb    #11             ; E form unless -2 <= K <= 8
        ldab    #1
        bhs     .pp
        ldab    FPK
        incb
        clr     FPK             ; K = 0 never takes the E form: none
.pp     stab    FPTMP           ; digits before the point
        ldx     #FPBUF+1
        tstb
        bmi     .dl             ; .05: from the zero before the first digit
        clrb
.dl     cmpb    FPTMP
        bne     .d1
        ldaa    #'.
        staa    0,x
        inx
.d1     cmpb    #9
        beq     .strip
        ldaa    #'0
        tstb
        bmi     .put
        pshb
        pshx
        ldx     #FACRND         ; the next digit
        clra
        jsr     fpm10
        pulx
        pulb
        adda    #'0
.put    staa    0,x
        inx
        incb
        bra     .dl
.strip  dex                     ; trailing zeros go, and a bare point
        ldaa    0,x
        cmpa    #'0
        beq     .strip
        cmpa    #'.
        beq     .e
        inx
.e      ldab    FPK
        beq     .fin
        ldaa    #'E
        staa    0,x
        ldaa    #'+
        tstb
        bpl     .ep
        negb
        ldaa    #'-
.ep     staa    1,x
        ldaa    #'0-1
.e10    inca
        subb    #10
        bcc     .e10
        staa    2,x
        addb    #'0+10
        stab    3,x
        ldab    #4
        abx
.fin    clr     0,x
        ldx     #FPBUF
        rts

; ---- operation codes ----
; The functions (and some of the rest) are mostly fixed runs of the operations above; they are kept as
; one byte each: jsr fpdo, then the codes, then 0. A code is an operation
; (the top 3 bits) on an entry of fpents (the low 5 bits).
OCALL   equ     $00             ; call the entry
OLD     equ     $20             ; FAC = the number at the entry
OLDA    equ     $40             ; ARG = ...
OST     equ     $60             ; store FAC there
OADD    equ     $80             ; FAC = FAC + the number
OTIMES  equ     $A0             ; FAC = FAC * the number
OPOLY   equ     $C0             ; the series at the entry (fppoly)
ORED    equ     $E0             ; FAC = FPT2 - FPT1 * the number (fpred)
fpdo    SUBROUTINE
        pulx
.l      ldab    0,x
        bne     .op
        jmp     1,x             ; 0: carry on after the codes
.op     inx
        pshx
        bsr     .go             ; the operation returns here
        pulx
        bra     .l
.go     tba
        lsrb
        lsrb
        lsrb
        lsrb
        andb    #$0E
        ldx     #.ops
        abx
        ldx     0,x
        pshx                    ; the operation
        tab
        andb    #$1F            ; its entry:
        cmpb    #ET5
        bhs     .slot
        aslb                    ; from the table
        ldx     #fpents
        abx
        ldx     0,x
        rts
.slot   ldaa    #5              ; or a 5-byte slot, in RAM or among the
        mul                     ; constants
        ldx     #FPBUF-5*ET5
        cmpb    #5*ESQA
        blo     .ram
        ldx     #fpcon-5*ESQA
.ram    abx
        rts
.ops    dc.w    .call,fpld,fpldarg,fpst,.add,.times,fppoly,fpred
.call   jmp     0,x
.add                            ; (fpladd and fplmul: ARG = the number at X first)
fpladd  jsr     fpldarg
        jmp     fpadd
.times
fplmul  jsr     fpldarg
        jmp     fpmul

EC1     equ     0
EINT    equ     1
ESUB    equ     2
EMUL    equ     3
EDIV    equ     4
EMOV    equ     5
ESIN    equ     6
ECOS    equ     7
ELOG    equ     8
EEXP    equ     9
ESINT   equ     10
EEXPT   equ     11
ELOGT   equ     12
ET5     equ     13
ET6     equ     14
ET4     equ     15
ET1     equ     17
ET2     equ     18
ESQA    equ     20
ESQB    equ     21
ECH     equ     22
E2PI    equ     23
EPI2A   equ     24
EPI2B   equ     25
EPI2C   equ     26
EL2E    equ     27
ELN2A   equ     28
ELN2B   equ     29
; entries below ET5 are in the table, ET5 on are FPBUF+5*(n-ET5), ESQA on
; fpcon+5*(n-ESQA)
fpents  dc.w    fpc1,fpint,fpsub,fpmul,fpdiv,fpmov
        IF FPFUNCS              ; the rest only for the functions
        dc.w    fpsin,fpcos,fplog,fpexp,fpsint,fpexpt,fplogt
        ENDIF

; ---- random numbers: xorshift (13, 17, 5) on the 32-bit seed ----
fprnd   SUBROUTINE
        tst     FACSGN
        bpl     .pos
        ldd     FACM            ; negative: the number becomes the seed
        std     RNDSD
        ldd     FACM+2
        eorb    FACEXP
        std     RNDSD+2
        bra     fprndf
.pos    ldab    FACEXP
        cmpb    #129
        blo     fprndf          ; below 1: a fraction
        beq     .one            ; below 2: always 1
        jsr     fpdo            ; 1..INT(n)
        dc.b    OCALL+EINT,OST+ET1,0
        bsr     fprndf
        jsr     fpdo
        dc.b    OTIMES+ET1,OCALL+EINT,OADD+EC1,0
        rts
.one    bsr     fprndf
        jmp     fpone
; FAC = the next random fraction, 0 < FAC < 1
fprndf  SUBROUTINE
        ldd     RNDSD
        bne     .go
        inc     RNDSD           ; a zero seed would stay zero
.go     ldd     RNDSD+1         ; x ^= x << 13
        std     FPTMP
        ldaa    RNDSD+3
        clrb
        std     FPTMP+2
        bsr     .x5
        ldd     RNDSD           ; x ^= x >> 17
        lsrd
        eora    RNDSD+2
        eorb    RNDSD+3
        std     RNDSD+2
        ldd     RNDSD           ; x ^= x << 5
        std     FPTMP
        ldd     RNDSD+2
        std     FPTMP+2
        bsr     .x5
        std     FACM+2
        ldd     RNDSD
        std     FACM
        clr     FACSGN
        ldab    #128
        jmp     fpnb
.x5     ldab    #5
        ldx     #FPTMP-1        ; FPTMP..+3 as the low 4 of 5 bytes
.l      jsr     fpshl
        decb
        bne     .l
        ldd     FPTMP
        eora    RNDSD
        eorb    RNDSD+1
        std     RNDSD
        ldd     FPTMP+2
        eora    RNDSD+2
        eorb    RNDSD+3
        std     RNDSD+2
        rts

; ---- powers (fractional ones need LOG and EXP) ----
fppow   SUBROUTINE
        ldx     #FPT6           ; the power
        jsr     fpst
        jsr     fpuint
        bcs     .gen
        tst     FPFRC
        bne     .gen
        std     FPTMP           ; a whole power up to 65535: square and multiply
        beq     .one
        sec                     ; a marker bit below the power's bits
        rolb
        rola
        bcs     .f
.t      asld
        bcc     .t
.f      std     FPE             ; the bits after the leading 1, the marker
        jsr     fpswap
        ldx     #FPT5           ; the base
        jsr     fpst
.b      ldd     FPE
        asld
        beq     .inv            ; only the marker left
        jsr     fpmov
        jsr     fpmul
        ldd     FPE
        asld
        std     FPE
        bcc     .b
        ldx     #FPT5
        jsr     fplmul
        bra     .b
.inv    tst     FPT6+1          ; a negative power: 1/x^n
        bpl     .r
        jsr     fparg1
        jmp     fpdiv
.one    ldx     #fpc1
        jmp     fpld
.gen    jsr     fpswap          ; EXP(power * LOG(base))
        tst     FACEXP
        beq     .zero
        IF FPFUNCS
        jsr     fpdo            ; LOG refuses a negative base
        dc.b    OCALL+ELOG,OTIMES+ET6,OCALL+EEXP,0
        rts
        ELSE
        jmp     fcerr
        ENDIF

.zero   tst     FPT6+1          ; 0^x: 0, or ?/0 for a negative power
        bpl     .r
        jmp     dzerr
.r      rts

        IF FPFUNCS
; ---- series ----
; FAC = P(FAC): X points at a count n, then n+1 packed coefficients, highest
; power first (the odd series are run as x * P(x^2) by their callers)
fppoly  SUBROUTINE
        ldab    0,x
        stab    FPCNT
        inx
        pshx
        ldx     #FPT3
        jsr     fpst
        pulx
        jsr     fpld
.l      ldab    #5
        abx
        pshx
        ldx     #FPT3
        jsr     fplmul
        pulx
        pshx
        jsr     fpladd
        pulx
        dec     FPCNT
        bne     .l
        rts
; FAC = FPT2 - FPT1 * (the number at X), also left in FPT2: argument
; reduction in parts, so that the products with the first parts are exact
fpred   pshx
        jsr     fpdo
        dc.b    OLD+ET1,0
        pulx
        jsr     fplmul
        jsr     fpdo
        dc.b    OLDA+ET2,OCALL+ESUB,OST+ET2,0
        rts

; ---- square root: a straight line through the mantissa, then Newton ----
fpsqr   SUBROUTINE
        tst     FACEXP
        beq     .r
        tst     FACSGN
        bmi     fpfcl
        jsr     fpdo
        dc.b    OST+ET1,0
        ldab    FACEXP
        addb    #129
        rorb                    ; the root's exponent; C set when even
        pshb
        ldaa    #127            ; .25 <= m < .5 when odd, .5 <= m < 1
        adca    #0
        staa    FACEXP
        jsr     fpdo
        dc.b    OTIMES+ESQA,OADD+ESQB,0
        pula
        adda    FACEXP
        suba    #128
        staa    FACEXP
        ldab    #3
.n      pshb                    ; y = (y + x/y) / 2
        jsr     fpdo
        dc.b    OST+ET2,OLDA+ET1,OCALL+EDIV,OADD+ET2,0
        dec     FACEXP
        pulb
        decb
        bne     .n
.r      rts


; ---- LOG: x = m * 2^e with SQR(.5) <= m < SQR(2); LOG(m) from s = (m-1)/(m+1)
fplog   SUBROUTINE
        tst     FACEXP
        beq     .fc
        tst     FACSGN
        bmi     .fc
        ldab    FACEXP
        subb    #128
        ldaa    #128
        staa    FACEXP
        ldx     FACM
        cpx     #$B505
        bhs     .m
        inc     FACEXP
        decb
.m      pshb                    ; e
        jsr     fpdo
        dc.b    OST+ET2,OLDA+EC1,OCALL+ESUB,OST+ET1     ; 1 - m
        dc.b    OLD+ET2,OADD+EC1,OLDA+ET1,OCALL+EDIV    ; -s
        dc.b    OST+ET4,OCALL+EMOV,OCALL+EMUL,OPOLY+ELOGT       ; -LOG(m)
        dc.b    OTIMES+ET4,OST+ET2,0
        pulb                    ; - e * LOG(2), in two parts
        clra
        tstb
        bpl     .e
        coma
.e      jsr     fpfromd
        jsr     fpdo
        dc.b    OST+ET1,ORED+ELN2B,ORED+ELN2A,0
        jmp     fpneg
.fc
fpfcl   jmp     fcerr

; ---- EXP: x = k * LOG(2) + r, EXP(x) = 2^k * EXP(r) ----
fpexp   SUBROUTINE
        jsr     fpdo
        dc.b    OST+ET2,OTIMES+EL2E,0
        bsr     fprint          ; k
        bcs     .big
        std     FPE
        jsr     fpdo
        dc.b    ORED+ELN2A,ORED+ELN2B,OPOLY+EEXPT,0
        clra
        ldab    FACEXP
        addd    FPE
.x      jmp     fpnbe           ; range check
.big    ldaa    FPT2+1          ; far out: 0, or ?OV from fpnorm
        oraa    #$40
        bra     .x

; FAC rounded to a whole number, kept in FPT1 and given in D (signed);
; C set when it is 65536 or more away from 0
fprint  SUBROUTINE
        jsr     fpdo
        dc.b    OADD+ECH,OCALL+EINT,OST+ET1,0
        jsr     fpuint
        bcs     .r
        eora    FACSGN          ; with the sign
        eorb    FACSGN
        subb    FACSGN
        sbca    FACSGN
        clc
.r      rts

; ---- SIN, COS, TAN: x = k * PI/2 + r, -PI/4 <= r <= PI/4 ----
fpcos   ldab    #1
        dc.b    $21             ; (brn: skips the clrb)
fpsin   clrb
fptrig  SUBROUTINE
        pshb                    ; quadrant
        jsr     fpdo
        dc.b    OST+ET2,OTIMES+E2PI,0
        bsr     fprint          ; k
        bcs     fpfcl           ; too far out to mean anything
        tsx
        addb    0,x
        stab    0,x
        jsr     fpdo
        dc.b    ORED+EPI2A,ORED+EPI2B,ORED+EPI2C,0
        tsx
        ldab    0,x
        lsrb
        bcc     .s
        jsr     fpdo            ; COS(r) = 2 * (.5 - SIN(r/2)^2)
        dc.b    OTIMES+ECH,OST+ET4,OCALL+EMOV,OCALL+EMUL,OPOLY+ESINT
        dc.b    OTIMES+ET4,OCALL+EMOV,OCALL+EMUL,OLDA+ECH,OCALL+ESUB,0
        inc     FACEXP          ; .35 < .5 - SIN(r/2)^2 <= .5
        bra     .q
.s      jsr     fpdo
        dc.b    OST+ET4,OCALL+EMOV,OCALL+EMUL,OPOLY+ESINT,OTIMES+ET4,0
.q      pulb
        andb    #2
        beq     .r
        jmp     fpneg
.r      rts

fptan   jsr     fpdo
        dc.b    OST+ET5,OCALL+ESIN,OST+ET6,OLD+ET5,OCALL+ECOS
        dc.b    OLDA+ET6,OCALL+EDIV,0
        rts
        ELSE
fpsqr:
fplog:
fpexp:
fpsin:
fpcos:
fptan:
fppoly:
fpred:  jmp     fcerr
fpcon   equ     fpc1
        ENDIF

; ---- constants ----
        IF FPFUNCS
; SQR(m) ~ .647941994 * m + .366710269 for .25 <= m < 1 (within 6 %)
fpcon                           ; the 5-byte slots from ESQA on
fpsqa   dc.b    $80,$25,$DF,$86,$CA   ; .647941993927
fpsqb   dc.b    $7F,$3B,$C1,$72,$C8   ; .366710268887
fpch    dc.b    $80,$00,$00,$00,$00   ; .5
fp2pi   dc.b    $80,$22,$F9,$83,$6E   ; 2/PI
fppi2a  dc.b    $81,$49,$0F,$00,$00   ; PI/2, first 16 bits
fppi2b  dc.b    $71,$5A,$A2,$00,$00   ; PI/2, next 16 bits
fppi2c  dc.b    $5F,$05,$A3,$08,$D3   ; PI/2, the rest
fpl2e   dc.b    $81,$38,$AA,$3B,$29   ; 1/LOG(2)
fpln2a  dc.b    $80,$31,$72,$17,$00   ; LOG(2), first 24 bits
fpln2b  dc.b    $68,$77,$D1,$CF,$7A   ; LOG(2), the rest
; near-best fits on the reduced ranges: SIN(r)/r in r^2, EXP(r), LOG((1+s)/(1-s))/s in s^2
fpsint  dc.b    4
        dc.b    $6E,$36,$5B,$A4,$C6   ; 2.71734569941E-06
        dc.b    $74,$D0,$07,$73,$F3   ; -1.98392022139E-04
        dc.b    $7A,$08,$88,$83,$A6   ; 8.33332878246E-03
        dc.b    $7E,$AA,$AA,$AA,$A5   ; -.166666666316
        dc.b    $81,$00,$00,$00,$00   ; 1
fplogt  dc.b    4
        dc.b    $7E,$71,$D4,$DF,$42   ; .236163605138
        dc.b    $7F,$12,$19,$76,$4D   ; .285350510556
        dc.b    $7F,$4C,$CD,$4D,$E0   ; .400003846685
        dc.b    $80,$2A,$AA,$AA,$6E   ; .666666652476
        dc.b    $82,$00,$00,$00,$00   ; 2
fpexpt  dc.b    7
        dc.b    $74,$50,$BE,$F9,$B6   ; 1.9907569676E-04
        dc.b    $77,$36,$D3,$A9,$8D   ; 1.39485783304E-03
        dc.b    $7A,$08,$88,$53,$11   ; 8.33328353794E-03
        dc.b    $7C,$2A,$AA,$32,$50   ; .0416662183192
        dc.b    $7E,$2A,$AA,$AA,$BF   ; .166666667863
        dc.b    $80,$00,$00,$00,$2E   ; .500000010773
        dc.b    $81,$00,$00,$00,$00   ; 1
                                      ; 1: fpc1
        ENDIF
fpc1    dc.b    $81,$00,$00,$00,$00   ; 1
fpp10   dc.b    $84,$20,$00,$00,$00   ; 1E1
        dc.b    $87,$48,$00,$00,$00   ; 1E2
        dc.b    $8E,$1C,$40,$00,$00   ; 1E4
        dc.b    $9B,$3E,$BC,$20,$00   ; 1E8
        dc.b    $B6,$0E,$1B,$C9,$BF   ; 1E16
        dc.b    $EB,$1D,$C5,$AD,$A8   ; 1E32
