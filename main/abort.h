// The silent abort: a handler raises it to stop without telling the user
// anything. The error reporter drops it; it deliberately is no
// std::exception, so nothing that shows errors by their message catches it.
#pragma once

struct Abort final {};
