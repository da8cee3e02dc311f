// The Windows resource script of the program, written from the dialog
// templates, so that the real dialogs and the script frontend's windows come
// from one table. frontends/win32/resources/programmer.rc is this text; a test keeps the two equal.
#pragma once

#include <string>

namespace fp {

std::string resource_script();

}  // namespace fp
