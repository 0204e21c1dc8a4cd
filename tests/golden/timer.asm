; Golden trace program 2: the on-chip timer and its interrupts. Output compare and
; overflow interrupts run in the background of a loop that samples the counter, waits
; in WAI, holds interrupts off with SEI and lets them in with CLI, idles in a branch
; to itself that the compare handler steps over, moves the counter and the compare
; register, and raises input capture by writing the status register.
        processor 6803

TCSR    equ     $08
FRCH    equ     $09
FRCL    equ     $0A
OCRH    equ     $0B
ICRH    equ     $0D
LOGPTR  equ     $80             ; next free word of the counter log (2)
OCCNT   equ     $82             ; compare interrupts taken (2)
TOCNT   equ     $84             ; overflow interrupts taken (2)
ICCNT   equ     $86             ; input capture interrupts taken (2)
SWCNT   equ     $88             ; software interrupts taken (2)
DELTA   equ     $8A             ; cycles from one compare to the next (2)
SKIP    equ     $8C             ; non-zero: the compare handler steps over BRA *
LOOPS   equ     $8D             ; passes of the main loop (2)
CNT     equ     $8F
LOG     equ     $4800           ; 512 counter samples, then round again
STACK   equ     $4FF0

        org     $4000
        jmp     start           ; reset
        jmp     ocih            ; output compare
        jmp     toih            ; overflow
        jmp     swih            ; software interrupt
        jmp     icih            ; input capture
        jmp     start           ; IRQ1 (never asserted)

; Output compare: next compare DELTA cycles on (the write after the status read
; clears OCF); when SKIP is set, return past the BRA * that the loop idles in.
ocih    ldaa    TCSR
        ldd     OCRH
        addd    DELTA
        std     OCRH
        ldx     OCCNT
        inx
        stx     OCCNT
        tst     SKIP
        beq     oc1
        clr     SKIP
        tsx
        ldd     5,x             ; the stacked pc
        addd    #2
        std     5,x
oc1     rti

; Overflow: status read, then the counter's high byte clears TOF.
toih    ldaa    TCSR
        ldaa    FRCH
        ldx     TOCNT
        inx
        stx     TOCNT
        rti

; Input capture (raised only by a status write): a status write without ICF clears it.
icih    ldaa    TCSR
        anda    #$6F            ; ICF and its enable off
        staa    TCSR
        ldaa    ICRH            ; reads 0
        ldx     ICCNT
        inx
        stx     ICCNT
        rti

swih    ldx     SWCNT
        inx
        stx     SWCNT
        rti

start   lds     #STACK
        ldx     #LOG
        stx     LOGPTR
        ldd     #$0400
        std     DELTA
        ldaa    #$0C            ; compare and overflow interrupts on
        staa    TCSR
        cli

main    ldaa    #24
        staa    CNT
busy    ldd     FRCH            ; one 16-bit read: a consistent pair
        ldx     LOGPTR
        std     0,x
        inx
        inx
        cpx     #LOG+$400
        bne     busy1
        ldx     #LOG
busy1   stx     LOGPTR
        ldaa    FRCL            ; two byte reads see the counter move
        ldab    FRCH
        mul
        std     $90
        dec     CNT
        bne     busy

        wai                     ; until the next compare or overflow

        sei                     ; flags raised now stay pending...
        ldx     #300
hold    dex
        bne     hold
        cli                     ; ...until one instruction after CLI
        nop
        swi

        inc     SKIP
        bra     *               ; idles to the next timer event

; a new compare distance every pass: 0x0100-0x1FFF cycles
        ldd     DELTA
        addd    #$0133
        anda    #$1F
        bne     dl1
        ldaa    #$01
dl1     std     DELTA

        ldaa    LOOPS+1
        anda    #7
        bne     fr1
        staa    FRCH            ; any write: the counter jumps to 0xFFF8
        bra     fr2
fr1     cmpa    #5
        bne     fr2
        ldd     FRCH            ; write the counter back a little ahead
        addd    #$40
        staa    FRCH
        stab    FRCL
fr2
        ldaa    LOOPS+1
        anda    #15
        cmpa    #9
        bne     ic1
        ldaa    #$9C            ; ICF with its enable: taken at once
        staa    TCSR
        ldaa    #$0C
        staa    TCSR
ic1
        ldaa    LOOPS+1
        anda    #31
        cmpa    #17
        bne     tp1
        tpa                     ; TAP with I set, then clear again
        oraa    #$10
        tap
        ldaa    TCSR
        tpa
        anda    #$EF
        tap
        nop
tp1
        ldx     LOOPS
        inx
        stx     LOOPS
        jmp     main
