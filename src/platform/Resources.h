#pragma once

// The program's pictures (the telephone icon) live in a resource of the windows library, which a
// static library must register before first use. Safe to call more than once.
void initResources();
