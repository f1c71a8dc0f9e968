#pragma once
// Everything vuziza offers, in one include: #include <vuziza/vuziza.h>

#include "geometry/DLinkedList.h"
#include "geometry/DecimalCoordinate.h"
#include "geometry/ErrorCoordinate.h"
#include "geometry/GeoQuad.h"
#include "geometry/GeoText.h"
#include "geometry/PixelCoordinate.h"
#include "geometry/Quad.h"
#include "geometry/RegCoord.h"
