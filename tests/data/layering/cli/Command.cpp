// The angle form finds the same header.

#include <Window.h>
