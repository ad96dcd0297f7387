#pragma once

#include "Dialog.h"
#include "Window.h"
