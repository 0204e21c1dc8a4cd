; tovrin built-in ROM, boot stage: set the stack, blank the text screen,
; show a banner on the top line and idle.
        processor 6803

SCREEN  equ     $4000
LATCH   equ     $BFFF

        org     $E000
reset:
        lds     #$4FFF          ; stack at the top of the standard 4K RAM
        clra
        staa    LATCH           ; alphanumeric mode, colour set 0, speaker low
        ldx     #SCREEN
        ldab    #$60            ; blank cell
clear:  stab    0,x
        inx
        cpx     #SCREEN+512
        bne     clear
        ldx     #banner
        stx     $80             ; source pointer in internal RAM
        ldx     #SCREEN
copy:   stx     $82
        ldx     $80
        ldaa    0,x
        beq     idle
        inx
        stx     $80
        anda    #$3F            ; ASCII to screen code: dark on green
        oraa    #$40
        ldx     $82
        staa    0,x
        inx
        bra     copy
idle:   bra     idle

banner: dc.b    "TOVRIN BOOT ROM",0

        org     $FFF0,$FF
        dc.w    reset           ; $FFF0 serial (unused)
        dc.w    reset           ; $FFF2 timer overflow
        dc.w    reset           ; $FFF4 output compare
        dc.w    reset           ; $FFF6 input capture
        dc.w    reset           ; $FFF8 IRQ1
        dc.w    reset           ; $FFFA SWI
        dc.w    reset           ; $FFFC NMI
        dc.w    reset           ; $FFFE reset
