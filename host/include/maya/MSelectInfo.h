// MSelectInfo: the selection context passed to MPxSurfaceShapeUI::select. The host does no
// interactive selection, so it carries nothing.
#pragma once

class MSelectInfo {};
