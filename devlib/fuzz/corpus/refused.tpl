MaxDistS = 61
InterKeyDelayWU = 10
KeyCountWA 65535
