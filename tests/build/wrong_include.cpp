// Built only by the test that proves the layers hold: the link opener's layer does not declare the
// window core, so this include must not compile.
#include "shell/open_link.hpp"
#include "window/actions.hpp"
