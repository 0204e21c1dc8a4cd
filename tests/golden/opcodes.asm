; Golden trace program 1: every documented MC6803 opcode, and the undocumented
; store-immediate and undefined ones, run over and over with inputs that change on
; every pass. After each instruction under test `snap` appends cc, A, B and X to the
; log at LOG and folds them into the running sum, so the RAM left behind records
; every result and every flag.
        processor 6803

DATA    equ     $4900           ; 32 operand bytes for indexed and extended modes
LOG     equ     $4A00           ; 5 bytes per snap: cc a b xh xl
SUM     equ     $4F80           ; running sum of every snap (2)
PASS    equ     $4F82           ; passes completed (2)
SCC     equ     $4F84           ; snap scratch
SA      equ     $4F85
SB      equ     $4F86
SX      equ     $4F87           ; (2)
SAVSP   equ     $4F89           ; (2)
LOGPTR  equ     $80             ; next free byte of the log (2)
DIRD    equ     $C0             ; 16 operand bytes in the direct page
STACK   equ     $4FF0

        org     $4000
        jmp     start           ; reset
        jmp     start           ; output compare (unused here)
        jmp     start           ; overflow (unused here)
        jmp     swih            ; software interrupt
        jmp     start           ; input capture (unused here)
        jmp     start           ; IRQ1 (unused here)

; Appends cc, A, B, X to the log and adds them to SUM; every register and flag is
; as it was on entry when it returns.
snap    psha
        tpa
        staa    SCC
        pula
        staa    SA
        stab    SB
        stx     SX
        ldx     LOGPTR
        ldaa    SCC
        staa    0,x
        ldaa    SA
        staa    1,x
        ldaa    SB
        staa    2,x
        ldaa    SX
        staa    3,x
        ldaa    SX+1
        staa    4,x
        ldab    #5
        abx
        cpx     #LOG+$0500
        bcs     snap1
        ldx     #LOG
snap1   stx     LOGPTR
        ldd     SUM
        addd    SX
        addd    SA              ; A and B as one word
        addb    SCC
        adca    #0
        std     SUM
        ldaa    SA
        psha
        ldab    SB
        ldx     SX
        ldaa    SCC
        tap
        pula
        rts

swih    ldaa    #$5A            ; RTI brings the caller's A back
        inc     DIRD+15
        rti

start   lds     #STACK
        ldx     #0
        stx     PASS
        stx     SUM
pass    ldx     #LOG
        stx     LOGPTR
; operands for this pass: byte i = PASS low * 13 + i * 29
        ldaa    PASS+1
        ldab    #13
        mul
        ldx     #DATA
fill    stab    0,x
        addb    #29
        inx
        cpx     #DATA+32
        bne     fill
        ldx     #DATA
        ldab    #16
fill2   ldaa    0,x
        eora    #$A5
        psha
        pshx
        pulx
        pula
        inx
        decb
        bne     fill2
        ldaa    DATA+8
        staa    DIRD+0
        ldaa    DATA+9
        staa    DIRD+1
        ldaa    DATA+10
        staa    DIRD+2
        ldaa    DATA+11
        staa    DIRD+3
        ldaa    DATA+12
        staa    DIRD+4
        ldaa    DATA+13
        staa    DIRD+5
        ldaa    DATA+14
        staa    DIRD+6
        ldaa    DATA+15
        staa    DIRD+7
        ldaa    DATA+16
        staa    DIRD+8
        ldaa    DATA+17
        staa    DIRD+9
        ldaa    DATA+18
        staa    DIRD+10
        ldaa    DATA+19
        staa    DIRD+11
        ldaa    DATA+20
        staa    DIRD+12
        ldaa    DATA+21
        staa    DIRD+13
        ldaa    DATA+22
        staa    DIRD+14
        ldaa    DATA+23
        staa    DIRD+15
        ldx     #DATA
        ldd     PASS
        addd    #$1357
        jsr     snap

; 8-bit operations on A and B, every addressing mode
        suba    #$30
        jsr     snap
        suba    DIRD+2
        jsr     snap
        suba    3,x
        jsr     snap
        suba    DATA+28
        jsr     snap
        cmpa    #$C4
        jsr     snap
        cmpa    DIRD+6
        jsr     snap
        cmpa    7,x
        jsr     snap
        cmpa    DATA+25
        jsr     snap
        sbca    #$58
        jsr     snap
        sbca    DIRD+10
        jsr     snap
        sbca    11,x
        jsr     snap
        sbca    DATA+22
        jsr     snap
        anda    #$EC
        jsr     snap
        anda    DIRD+14
        jsr     snap
        anda    15,x
        jsr     snap
        anda    DATA+19
        jsr     snap
        bita    #$80
        jsr     snap
        bita    DIRD+3
        jsr     snap
        bita    19,x
        jsr     snap
        bita    DATA+16
        jsr     snap
        ldaa    #$14
        jsr     snap
        ldaa    DIRD+7
        jsr     snap
        ldaa    23,x
        jsr     snap
        ldaa    DATA+13
        jsr     snap
        eora    #$A8
        jsr     snap
        eora    DIRD+11
        jsr     snap
        eora    27,x
        jsr     snap
        eora    DATA+10
        jsr     snap
        adca    #$3C
        jsr     snap
        adca    DIRD+0
        jsr     snap
        adca    0,x
        jsr     snap
        adca    DATA+7
        jsr     snap
        oraa    #$D0
        jsr     snap
        oraa    DIRD+4
        jsr     snap
        oraa    4,x
        jsr     snap
        oraa    DATA+4
        jsr     snap
        adda    #$64
        jsr     snap
        adda    DIRD+8
        jsr     snap
        adda    8,x
        jsr     snap
        adda    DATA+1
        jsr     snap
        staa    DIRD+11
        jsr     snap
        inca
        staa    11,x
        jsr     snap
        inca
        staa    DATA+22
        jsr     snap
        inca
        subb    #$67
        jsr     snap
        subb    DIRD+0
        jsr     snap
        subb    15,x
        jsr     snap
        subb    DATA+19
        jsr     snap
        cmpb    #$FB
        jsr     snap
        cmpb    DIRD+4
        jsr     snap
        cmpb    19,x
        jsr     snap
        cmpb    DATA+16
        jsr     snap
        sbcb    #$8F
        jsr     snap
        sbcb    DIRD+8
        jsr     snap
        sbcb    23,x
        jsr     snap
        sbcb    DATA+13
        jsr     snap
        andb    #$23
        jsr     snap
        andb    DIRD+12
        jsr     snap
        andb    27,x
        jsr     snap
        andb    DATA+10
        jsr     snap
        bitb    #$B7
        jsr     snap
        bitb    DIRD+1
        jsr     snap
        bitb    0,x
        jsr     snap
        bitb    DATA+7
        jsr     snap
        ldab    #$4B
        jsr     snap
        ldab    DIRD+5
        jsr     snap
        ldab    4,x
        jsr     snap
        ldab    DATA+4
        jsr     snap
        eorb    #$DF
        jsr     snap
        eorb    DIRD+9
        jsr     snap
        eorb    8,x
        jsr     snap
        eorb    DATA+1
        jsr     snap
        adcb    #$73
        jsr     snap
        adcb    DIRD+13
        jsr     snap
        adcb    12,x
        jsr     snap
        adcb    DATA+29
        jsr     snap
        orab    #$07
        jsr     snap
        orab    DIRD+2
        jsr     snap
        orab    16,x
        jsr     snap
        orab    DATA+26
        jsr     snap
        addb    #$9B
        jsr     snap
        addb    DIRD+6
        jsr     snap
        addb    20,x
        jsr     snap
        addb    DATA+23
        jsr     snap
        stab    DIRD+9
        jsr     snap
        decb
        stab    23,x
        jsr     snap
        decb
        stab    DATA+13
        jsr     snap
        decb
; 16-bit operations
        subd    #$8023
        jsr     snap
        subd    DIRD+13
        jsr     snap
        subd    27,x
        jsr     snap
        subd    DATA+10
        jsr     snap
        addd    #$C02F
        jsr     snap
        addd    DIRD+2
        jsr     snap
        addd    0,x
        jsr     snap
        addd    DATA+7
        jsr     snap
        ldd     #$003B
        jsr     snap
        ldd     DIRD+6
        jsr     snap
        ldd     4,x
        jsr     snap
        ldd     DATA+4
        jsr     snap
        cpx     #$4047
        jsr     snap
        cpx     DIRD+10
        jsr     snap
        cpx     8,x
        jsr     snap
        cpx     DATA+1
        jsr     snap
        std     DIRD+13
        jsr     snap
        lsrd
        std     11,x
        jsr     snap
        lsrd
        std     DATA+22
        jsr     snap
        lsrd
        ldx     #$B05C
        jsr     snap
        stx     SX
        ldx     #DATA
        ldx     DIRD+2
        jsr     snap
        stx     SX
        ldx     #DATA
        ldx     15,x
        jsr     snap
        stx     SX
        ldx     #DATA
        ldx     DATA+19
        jsr     snap
        stx     SX
        ldx     #DATA
        stx     DIRD+5
        jsr     snap
        stx     18,x
        jsr     snap
        stx     DATA+9
        jsr     snap
; the stack pointer loads and stores, with the real stack kept aside
        sts     SAVSP
        lds     #$2071
        sts     SX
        tpa
        lds     SAVSP
        tap
        jsr     snap
        sts     SAVSP
        lds     DIRD+9
        sts     SX
        tpa
        lds     SAVSP
        tap
        jsr     snap
        sts     SAVSP
        lds     22,x
        sts     SX
        tpa
        lds     SAVSP
        tap
        jsr     snap
        sts     SAVSP
        lds     DATA+6
        sts     SX
        tpa
        lds     SAVSP
        tap
        jsr     snap
        sts     SAVSP
        lds     #$8E23
        sts     DIRD+12
        tpa
        lds     SAVSP
        tap
        jsr     snap
        sts     SAVSP
        lds     #$8F5A
        sts     25,x
        tpa
        lds     SAVSP
        tap
        jsr     snap
        sts     SAVSP
        lds     #$9091
        sts     DATA+27
        tpa
        lds     SAVSP
        tap
        jsr     snap
; single-operand operations on A, B and memory
        nega   
        jsr     snap
        negb   
        jsr     snap
        neg     27,x
        jsr     snap
        neg     DATA+3
        jsr     snap
        ldaa    DATA+24
        ldab    1,x
        coma   
        jsr     snap
        comb   
        jsr     snap
        com     28,x
        jsr     snap
        com     DATA+10
        jsr     snap
        ldaa    DATA+0
        ldab    2,x
        lsra   
        jsr     snap
        lsrb   
        jsr     snap
        lsr     29,x
        jsr     snap
        lsr     DATA+17
        jsr     snap
        ldaa    DATA+7
        ldab    3,x
        rora   
        jsr     snap
        rorb   
        jsr     snap
        ror     30,x
        jsr     snap
        ror     DATA+24
        jsr     snap
        ldaa    DATA+14
        ldab    4,x
        asra   
        jsr     snap
        asrb   
        jsr     snap
        asr     0,x
        jsr     snap
        asr     DATA+0
        jsr     snap
        ldaa    DATA+21
        ldab    5,x
        asla   
        jsr     snap
        aslb   
        jsr     snap
        asl     1,x
        jsr     snap
        asl     DATA+7
        jsr     snap
        ldaa    DATA+28
        ldab    6,x
        rola   
        jsr     snap
        rolb   
        jsr     snap
        rol     2,x
        jsr     snap
        rol     DATA+14
        jsr     snap
        ldaa    DATA+4
        ldab    7,x
        deca   
        jsr     snap
        decb   
        jsr     snap
        dec     3,x
        jsr     snap
        dec     DATA+21
        jsr     snap
        ldaa    DATA+11
        ldab    8,x
        inca   
        jsr     snap
        incb   
        jsr     snap
        inc     4,x
        jsr     snap
        inc     DATA+28
        jsr     snap
        ldaa    DATA+18
        ldab    9,x
        tsta   
        jsr     snap
        tstb   
        jsr     snap
        tst     5,x
        jsr     snap
        tst     DATA+4
        jsr     snap
        ldaa    DATA+25
        ldab    10,x
        clra   
        jsr     snap
        clrb   
        jsr     snap
        clr     6,x
        jsr     snap
        clr     DATA+11
        jsr     snap
        ldaa    DATA+1
        ldab    11,x
; inherent operations
        nop
        jsr     snap
        ldx     #DATA
        lsrd
        jsr     snap
        ldx     #DATA
        asld
        jsr     snap
        ldx     #DATA
        tpa
        jsr     snap
        ldx     #DATA
        inx
        jsr     snap
        ldx     #DATA
        dex
        jsr     snap
        ldx     #DATA
        clv
        jsr     snap
        ldx     #DATA
        sev
        jsr     snap
        ldx     #DATA
        clc
        jsr     snap
        ldx     #DATA
        sec
        jsr     snap
        ldx     #DATA
        sba
        jsr     snap
        ldx     #DATA
        cba
        jsr     snap
        ldx     #DATA
        tab
        jsr     snap
        ldx     #DATA
        tba
        jsr     snap
        ldx     #DATA
        daa
        jsr     snap
        ldx     #DATA
        aba
        jsr     snap
        ldx     #DATA
        daa
        jsr     snap
        ldx     #DATA
        abx
        jsr     snap
        ldx     #DATA
        mul
        jsr     snap
        ldx     #DATA
        daa
        jsr     snap
        ldx     #DATA
        inx
        inx
        dex
        jsr     snap
        ldx     #DATA
        psha
        pshb
        pula
        pulb
        jsr     snap
        ldx     #DATA
        pshx
        pulx
        jsr     snap
        ldx     #DATA
        des
        ins
        tsx
        txs
        jsr     snap
        ldx     #DATA
        sev
        tpa
        clv
        tap
        jsr     snap
        ldx     #DATA
; interrupt mask: nothing is pending, so CLI and SEI only change I
        cli
        jsr     snap
        sei
        jsr     snap
        swi
        jsr     snap
; every branch, taken or not, counted in B
        ldaa    DATA+7
        suba    DIRD+2
        bra     br0_0
        incb
br0_0  jsr     snap
        brn     br0_1
        incb
br0_1  jsr     snap
        bhi     br0_2
        incb
br0_2  jsr     snap
        bls     br0_3
        incb
br0_3  jsr     snap
        bcc     br0_4
        incb
br0_4  jsr     snap
        bcs     br0_5
        incb
br0_5  jsr     snap
        bne     br0_6
        incb
br0_6  jsr     snap
        beq     br0_7
        incb
br0_7  jsr     snap
        bvc     br0_8
        incb
br0_8  jsr     snap
        bvs     br0_9
        incb
br0_9  jsr     snap
        bpl     br0_10
        incb
br0_10  jsr     snap
        bmi     br0_11
        incb
br0_11  jsr     snap
        bge     br0_12
        incb
br0_12  jsr     snap
        blt     br0_13
        incb
br0_13  jsr     snap
        bgt     br0_14
        incb
br0_14  jsr     snap
        ble     br0_15
        incb
br0_15  jsr     snap
        ldaa    DATA+11
        suba    DIRD+5
        bra     br1_0
        incb
br1_0  jsr     snap
        brn     br1_1
        incb
br1_1  jsr     snap
        bhi     br1_2
        incb
br1_2  jsr     snap
        bls     br1_3
        incb
br1_3  jsr     snap
        bcc     br1_4
        incb
br1_4  jsr     snap
        bcs     br1_5
        incb
br1_5  jsr     snap
        bne     br1_6
        incb
br1_6  jsr     snap
        beq     br1_7
        incb
br1_7  jsr     snap
        bvc     br1_8
        incb
br1_8  jsr     snap
        bvs     br1_9
        incb
br1_9  jsr     snap
        bpl     br1_10
        incb
br1_10  jsr     snap
        bmi     br1_11
        incb
br1_11  jsr     snap
        bge     br1_12
        incb
br1_12  jsr     snap
        blt     br1_13
        incb
br1_13  jsr     snap
        bgt     br1_14
        incb
br1_14  jsr     snap
        ble     br1_15
        incb
br1_15  jsr     snap
        ldaa    DATA+15
        suba    DIRD+8
        bra     br2_0
        incb
br2_0  jsr     snap
        brn     br2_1
        incb
br2_1  jsr     snap
        bhi     br2_2
        incb
br2_2  jsr     snap
        bls     br2_3
        incb
br2_3  jsr     snap
        bcc     br2_4
        incb
br2_4  jsr     snap
        bcs     br2_5
        incb
br2_5  jsr     snap
        bne     br2_6
        incb
br2_6  jsr     snap
        beq     br2_7
        incb
br2_7  jsr     snap
        bvc     br2_8
        incb
br2_8  jsr     snap
        bvs     br2_9
        incb
br2_9  jsr     snap
        bpl     br2_10
        incb
br2_10  jsr     snap
        bmi     br2_11
        incb
br2_11  jsr     snap
        bge     br2_12
        incb
br2_12  jsr     snap
        blt     br2_13
        incb
br2_13  jsr     snap
        bgt     br2_14
        incb
br2_14  jsr     snap
        ble     br2_15
        incb
br2_15  jsr     snap
        ldaa    DATA+19
        suba    DIRD+11
        bra     br3_0
        incb
br3_0  jsr     snap
        brn     br3_1
        incb
br3_1  jsr     snap
        bhi     br3_2
        incb
br3_2  jsr     snap
        bls     br3_3
        incb
br3_3  jsr     snap
        bcc     br3_4
        incb
br3_4  jsr     snap
        bcs     br3_5
        incb
br3_5  jsr     snap
        bne     br3_6
        incb
br3_6  jsr     snap
        beq     br3_7
        incb
br3_7  jsr     snap
        bvc     br3_8
        incb
br3_8  jsr     snap
        bvs     br3_9
        incb
br3_9  jsr     snap
        bpl     br3_10
        incb
br3_10  jsr     snap
        bmi     br3_11
        incb
br3_11  jsr     snap
        bge     br3_12
        incb
br3_12  jsr     snap
        blt     br3_13
        incb
br3_13  jsr     snap
        bgt     br3_14
        incb
br3_14  jsr     snap
        ble     br3_15
        incb
br3_15  jsr     snap
; subroutines: BSR, JSR in three modes, JMP in two
        bsr     sub1
        jsr     snap
        ldx     #sub1
        jsr     0,x
        jsr     snap
        jsr     sub1
        ldd     #sub1
        std     DIRD
        ldx     DIRD
        jsr     0,x
        ldx     #jmp1
        jmp     0,x
        incb
jmp1    jmp     jmp2
        decb
jmp2    jsr     snap
; undocumented store-immediate (0 cycles) and undefined opcodes
        ldx     #DATA
        dc.b    $87,$00         ; STAA #: A over its own operand
        jsr     snap
        dc.b    $C7,$00         ; STAB #
        jsr     snap
        dc.b    $CD,$00,$00     ; STD #
        jsr     snap
        dc.b    $CF,$00,$00     ; STX #
        jsr     snap
        dc.b    $8F,$00,$00     ; STS #
        jsr     snap
        dc.b    $00,$02,$03,$12,$13,$14,$15,$18,$1A,$1C,$1D,$1E,$1F
        dc.b    $41,$42,$45,$4B,$4E,$51,$52,$55,$5B,$5E,$61,$62,$65,$6B,$71,$72,$75,$7B,$01
        jsr     snap
; the operands changed by the stores above go back to their pass values next time
        ldx     PASS
        inx
        stx     PASS
        jmp     pass

sub1    incb
        rts
