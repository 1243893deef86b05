#pragma once
// OpenGL 1.x and GLU declarations. The program links the off-screen Mesa
// library and GLU, never a windowing-system GL library.
#include <GL/gl.h>
#include <GL/glu.h>
