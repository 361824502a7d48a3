// Everything a window needs: include this one header.
#pragma once
#include "ui/Application.h"
#include "ui/Component.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Grid.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/Types.h"
#include "ui/Utf8.h"
