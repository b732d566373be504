// Rotations, rectangle tests and hit tests in page coordinates.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

// Turns the point (px, py) about (cx, cy) by the angle in degrees; positive
// angles turn clockwise in y-up page coordinates.
void RotatePoint(double cx, double cy, double px, double py, double* pOutX, double* pOutY, double dAngle);

// The axis-aligned bound of the rectangle and of its four corners turned
// about its centre by the angle in degrees (x1 least x, x2 greatest x, y1
// greatest y, y2 least y).
SGIS_DRect GetRotatedRectBound(SGIS_DRect rect, double dAngle);

// The intersection of two double rectangles (normalised copies); the
// all-zero rectangle when they do not overlap or only touch.
SGIS_DRect IntersectDRect(const SGIS_DRect& a, const SGIS_DRect& b);

// True when (x, y) lies in the normalised rectangle, borders included.
bool IsInDRect(const SGIS_DRect& rect, double x, double y);

// On a normalised copy grown by the tolerance on every side: 0 outside,
// 2 on the border of the grown rectangle, 1 strictly inside.
int HitTestRectEdge(const SGIS_Rect& rect, int x, int y, int nTolerance);
