MinDistS = 0x1F
/ comment 1
:Library Version: 5.5.1 
€Key1CodeWA 31abc
Key2CodeWA
