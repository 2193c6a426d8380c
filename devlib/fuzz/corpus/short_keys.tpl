maxdists=40
MAXDISTS 41
  KeyCountWA, 3
	PressRateI = -1 / idle
TYBlankTmI 70000
