#include "app/Identity.h"

bool AskUserIdentity() { return true; }
