// The record checks, shared by the Set operations (reject mode) and the
// configuration read (clamp mode).
#ifndef DRAVIK_RECORDS_H
#define DRAVIK_RECORDS_H

#include "Dravik.h"

enum class CheckMode { Reject, Clamp };

int CheckTyvelParms(tsTyvelParms* parms, CheckMode mode);
int CheckWalkAwayParms(tsWalkAwayParms* parms, CheckMode mode);
int CheckWalkUpParms(tsWalkUpParms* parms, CheckMode mode);
int CheckIdleParms(tsIdleParms* parms, CheckMode mode);

#endif
