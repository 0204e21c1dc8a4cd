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
FPBUF   equ     $4258           ; number text, 0-terminated ($4258-$4267)
FPT1    equ     $4268           ; packed temporaries of the functions (5 each)
FPT2    equ     $426D
FPT3    equ     $4272
FPT4    equ     $4277           ; ..$427B
;
; Routines (all change A, B and X unless stated; errors jump to overr (?OV),
; dzerr (?/0) and fcerr (?FC)):
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
;  fptod    FAC -> signed D, towards zero; ?FC outside -32768..32767
;  fptoad   FAC -> D as an address, -32768..65535 (negatives wrap); else ?FC
;  fpparse  text at X (digits, '.', 'E' with a sign as '+' '-' or the tokens
;           $A7 $A8, blanks skipped) -> FAC, X after the number; ?OV
;  fpstr    FAC -> text at FPBUF, 0-terminated, X = FPBUF: " 5", "-.25",
;           " 1.5E-05" (9 digits at most, E form below .01 and from 1E9)
;  fprnd    FAC = RND(FAC): 0 -> fraction in (0,1); n >= 1 -> integer
;           1..INT(n); negative -> reseeds from the number, then a fraction
;  fpsqr fplog fpexp fpsin fpcos fptan: FAC = f(FAC); SQR of a negative
;           and LOG of <= 0 give ?FC, EXP overflow ?OV

fpld:
fpldarg:
fpst:
fpmov:
fpadd:
fpsub:
fpmul:
fpdiv:
fppow:
fpneg:
fpabs:
fpsgn:
fpint:
fpcmp:
fpfromd:
fpfromb:
fptod:
fptoad:
fpparse:
fpstr:
fprnd:
fpsqr:
fplog:
fpexp:
fpsin:
fpcos:
fptan:
        rts
