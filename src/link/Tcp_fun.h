// The socket functions of the link under their own names (the
// implementation lives in platform/Tcp).
#pragma once
#include "platform/Tcp.h"

using platform::InitWinsock;
using platform::ParseIpAddress;
using platform::SetTcpAddress;
