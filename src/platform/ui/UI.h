// Everything of the user-interface layer in one include.
#pragma once

#include "platform/ui/App.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Commands.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/DocView.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Painter.h"
#include "platform/ui/Services.h"
#include "platform/ui/Settings.h"
#include "platform/ui/Types.h"
#include "platform/ui/Window.h"
