// The serial-port functions of the link under their own names (the
// implementation lives in platform/SerialPort and platform/Clock).
#pragma once
#include "platform/Clock.h"
#include "platform/SerialPort.h"

using platform::ComClearError;
using platform::ComClose;
using platform::ComOpen;
using platform::ComPortPresent;
using platform::ComPurge;
using platform::ComRead;
using platform::ComSetBaud;
using platform::ComSetDtr;
using platform::ComSetRts;
using platform::ComSetTimeouts;
using platform::ComWrite;
using platform::ContainsText;
using platform::GetPerfFrequency;
