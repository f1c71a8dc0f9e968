#include "BoundingRectangleInterface.h"

namespace zel {

Quad BoundingRectangleInterface::calculateBoundingRectangle(DLinkedList<PixelCoordinate>* points) {
  return BoundingRectangle::findPixelBoundingRectangle(points);
}

Quad BoundingRectangleInterface::calculateBoundingRectangle(DLinkedList<Quad>* quads) {
  DLinkedList<PixelCoordinate> corners;
  if (quads) {
    for (auto* node = quads->head; node; node = node->next) {
      if (!node->element) continue;
      for (const PixelCoordinate& c :
           {node->element->ul, node->element->ur, node->element->lr, node->element->ll}) {
        corners.add(new PixelCoordinate(c.x, c.y));
      }
    }
  }
  return calculateBoundingRectangle(&corners);
}

GeoQuad BoundingRectangleInterface::calculateBoundingRectangle(
    DLinkedList<DecimalCoordinate>* points) {
  return BoundingRectangle::findBoundingRectangle(points);
}

GeoQuad BoundingRectangleInterface::calculateBoundingRectangle(DLinkedList<GeoQuad>* quads) {
  DLinkedList<DecimalCoordinate> corners;
  if (quads) {
    for (auto* node = quads->head; node; node = node->next) {
      if (!node->element) continue;
      for (const DecimalCoordinate& c :
           {node->element->ul, node->element->ur, node->element->lr, node->element->ll}) {
        corners.add(new DecimalCoordinate(c.lat, c.lon));
      }
    }
  }
  return calculateBoundingRectangle(&corners);
}

}  // namespace zel
