; Token numbers and the keyword table: one byte per keyword, 0x80-0xC8.

T_FOR      equ $80
T_GOTO     equ $81
T_GOSUB    equ $82
T_REM      equ $83
T_IF       equ $84
T_DATA     equ $85
T_PRINT    equ $86
T_ON       equ $87
T_INPUT    equ $88
T_END      equ $89
T_NEXT     equ $8A
T_DIM      equ $8B
T_READ     equ $8C
T_LET      equ $8D
T_RUN      equ $8E
T_RESTORE  equ $8F
T_RETURN   equ $90
T_STOP     equ $91
T_POKE     equ $92
T_CONT     equ $93
T_LIST     equ $94
T_CLEAR    equ $95
T_NEW      equ $96
T_CLOAD    equ $97
T_CSAVE    equ $98
T_LLIST    equ $99
T_LPRINT   equ $9A
T_SET      equ $9B
T_RESET    equ $9C
T_CLS      equ $9D
T_SOUND    equ $9E
T_EXEC     equ $9F
T_SKIPF    equ $A0
T_TAB      equ $A1
T_TO       equ $A2
T_THEN     equ $A3
T_NOT      equ $A4
T_STEP     equ $A5
T_OFF      equ $A6
T_PLUS     equ $A7
T_MINUS    equ $A8
T_MUL      equ $A9
T_DIV      equ $AA
T_POW      equ $AB
T_AND      equ $AC
T_OR       equ $AD
T_GT       equ $AE
T_EQ       equ $AF
T_LT       equ $B0
T_SGN      equ $B1
T_INT      equ $B2
T_ABS      equ $B3
T_USR      equ $B4
T_RND      equ $B5
T_SQR      equ $B6
T_LOG      equ $B7
T_EXP      equ $B8
T_SIN      equ $B9
T_COS      equ $BA
T_TAN      equ $BB
T_PEEK     equ $BC
T_LEN      equ $BD
T_STRS     equ $BE
T_VAL      equ $BF
T_ASC      equ $C0
T_CHRS     equ $C1
T_LEFTS    equ $C2
T_RIGHTS   equ $C3
T_MIDS     equ $C4
T_POINT    equ $C5
T_VARPTR   equ $C6
T_INKEYS   equ $C7
T_MEM      equ $C8
T_LASTST  equ T_SKIPF          ; last token that starts a statement

; Keyword names in token order; the last letter of each has bit 7 set.
kwtab:
        dc.b    "FO",$D2         ; $80 FOR
        dc.b    "GOT",$CF        ; $81 GOTO
        dc.b    "GOSU",$C2       ; $82 GOSUB
        dc.b    "RE",$CD         ; $83 REM
        dc.b    "I",$C6          ; $84 IF
        dc.b    "DAT",$C1        ; $85 DATA
        dc.b    "PRIN",$D4       ; $86 PRINT
        dc.b    "O",$CE          ; $87 ON
        dc.b    "INPU",$D4       ; $88 INPUT
        dc.b    "EN",$C4         ; $89 END
        dc.b    "NEX",$D4        ; $8A NEXT
        dc.b    "DI",$CD         ; $8B DIM
        dc.b    "REA",$C4        ; $8C READ
        dc.b    "LE",$D4         ; $8D LET
        dc.b    "RU",$CE         ; $8E RUN
        dc.b    "RESTOR",$C5     ; $8F RESTORE
        dc.b    "RETUR",$CE      ; $90 RETURN
        dc.b    "STO",$D0        ; $91 STOP
        dc.b    "POK",$C5        ; $92 POKE
        dc.b    "CON",$D4        ; $93 CONT
        dc.b    "LIS",$D4        ; $94 LIST
        dc.b    "CLEA",$D2       ; $95 CLEAR
        dc.b    "NE",$D7         ; $96 NEW
        dc.b    "CLOA",$C4       ; $97 CLOAD
        dc.b    "CSAV",$C5       ; $98 CSAVE
        dc.b    "LLIS",$D4       ; $99 LLIST
        dc.b    "LPRIN",$D4      ; $9A LPRINT
        dc.b    "SE",$D4         ; $9B SET
        dc.b    "RESE",$D4       ; $9C RESET
        dc.b    "CL",$D3         ; $9D CLS
        dc.b    "SOUN",$C4       ; $9E SOUND
        dc.b    "EXE",$C3        ; $9F EXEC
        dc.b    "SKIP",$C6       ; $A0 SKIPF
        dc.b    "TAB",$A8        ; $A1 TAB(
        dc.b    "T",$CF          ; $A2 TO
        dc.b    "THE",$CE        ; $A3 THEN
        dc.b    "NO",$D4         ; $A4 NOT
        dc.b    "STE",$D0        ; $A5 STEP
        dc.b    "OF",$C6         ; $A6 OFF
        dc.b    $AB              ; $A7 +
        dc.b    $AD              ; $A8 -
        dc.b    $AA              ; $A9 *
        dc.b    $AF              ; $AA /
        dc.b    $DE              ; $AB ^
        dc.b    "AN",$C4         ; $AC AND
        dc.b    "O",$D2          ; $AD OR
        dc.b    $BE              ; $AE >
        dc.b    $BD              ; $AF =
        dc.b    $BC              ; $B0 <
        dc.b    "SG",$CE         ; $B1 SGN
        dc.b    "IN",$D4         ; $B2 INT
        dc.b    "AB",$D3         ; $B3 ABS
        dc.b    "US",$D2         ; $B4 USR
        dc.b    "RN",$C4         ; $B5 RND
        dc.b    "SQ",$D2         ; $B6 SQR
        dc.b    "LO",$C7         ; $B7 LOG
        dc.b    "EX",$D0         ; $B8 EXP
        dc.b    "SI",$CE         ; $B9 SIN
        dc.b    "CO",$D3         ; $BA COS
        dc.b    "TA",$CE         ; $BB TAN
        dc.b    "PEE",$CB        ; $BC PEEK
        dc.b    "LE",$CE         ; $BD LEN
        dc.b    "STR",$A4        ; $BE STR$
        dc.b    "VA",$CC         ; $BF VAL
        dc.b    "AS",$C3         ; $C0 ASC
        dc.b    "CHR",$A4        ; $C1 CHR$
        dc.b    "LEFT",$A4       ; $C2 LEFT$
        dc.b    "RIGHT",$A4      ; $C3 RIGHT$
        dc.b    "MID",$A4        ; $C4 MID$
        dc.b    "POIN",$D4       ; $C5 POINT
        dc.b    "VARPT",$D2      ; $C6 VARPTR
        dc.b    "INKEY",$A4      ; $C7 INKEY$
        dc.b    "ME",$CD         ; $C8 MEM
        dc.b    0
