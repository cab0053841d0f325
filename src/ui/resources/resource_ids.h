// Identifiers of the stub's resources.
#pragma once

#define IDI_APPLICATION_ICON 1
