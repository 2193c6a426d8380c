/--- Tyvel Configuration Template File ---
:Library Version: 5.5.1 
:Device FW Version: 05.12 

/ tsTyvelParms
LEDFlagsS = 5     / LED usage flags
PingRateS = 600     / Ping rate (msec) (min 200, max 1020)
Reserved1S = 16     / 40KHz cycle cnt (READ ONLY)
MinDistS = 14     / Minimum Distance acceptable (inches) (min 14, max 59)
MaxDistS = 36     / Maximum Distance acceptable (inches) (min 15, max 60)
ORDBTmS = 10     / debounce out of range time (sec/min)
IRDBTmS = 3     / debounce in range time (sec/min)
StartDlyS = 2     / cold start delay in seconds before joining USB

/ tsWalkAwayParms
KeyCountWA = 2     / Defined keys to follow (max 6 modifiers/keys)
InterKeyDelayWA = 512     / dead time between key presses (msec) (min 64, max 16320)
Key1ModsWA = 8     / Key Modifiers...
Key2ModsWA = 1     / 
Key3ModsWA = 2     / 
Key4ModsWA = 4     / 
Key5ModsWA = 16     / 
Key6ModsWA = 32     / 
Flags0WA = 1     / see API header File
MinFltRepRate = 20     / 
Key1CodeWA = 15     / Key Codes...
Key2CodeWA = 4     / 
Key3CodeWA = 5     / 
Key4CodeWA = 6     / 
Key5CodeWA = 7     / 
Key6CodeWA = 65534     / 

/ tsWalkUpParms
KeyCountWU = 1     / Defined keys to follow (max 6 modifiers/keys)
InterKeyDelayWU = 64     / dead time between key presses (msec) (min 64, max 16320)
Key1ModsWU = 64     / Key Modifiers...
Key2ModsWU = 128     / 
Key3ModsWU = 3     / 
Key4ModsWU = 5     / 
Key5ModsWU = 6     / 
Key6ModsWU = 9     / 
Flags0WU = 2     / see API header File
Reserved2WU = 7     / 
Key1CodeWU = 40     / Key Codes...
Key2CodeWU = 41     / 
Key3CodeWU = 42     / 
Key4CodeWU = 43     / 
Key5CodeWU = 44     / 
Key6CodeWU = 255     / 

/ tsIdleParms
Reserved1I = 11     / 
PressRateI = 60     / Periodic Press Rate (1 second units) - Zero disables (default)
Key1ModsI = 17     / Key 1 modifier bit flags
Key1CodeI = 71     / Key 1 code
FlagsI = 0     / see API header File
DMTODeltaI = 10     / DeadMan T0Delta, 3.472 * Distance (in) = DMTODelta
DMTOTmI = 30     / DeadMan Time (seconds) - Time till Declared Dead while Deltas never exceeded
TYBlankTmI = 65535     / Tyvel drive blanking time (43usec units)
