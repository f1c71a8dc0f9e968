#include "VectorData.h"

namespace zel {

VectorData::VectorData(DLinkedList<DecimalCoordinate>* points, bool connected, bool closed)
    : points(points), connected(connected), closed(closed) {}

VectorData::~VectorData() {
  delete points;
  delete regCoords;
  delete secondPoints;
}

int VectorData::setRegCoords(DLinkedList<RegCoord>* list) {
  if (!list || list == regCoords) return 0;
  if (!regCoords) {
    regCoords = list;
    return 0;
  }
  delete regCoords;  // destroys its registration points, head first
  regCoords = new DLinkedList<RegCoord>();
  regCoords->head = list->head;
  regCoords->tail = list->tail;
  regCoords->cursor = list->cursor;
  regCoords->cursorIndex = list->cursorIndex;
  regCoords->count = list->count;
  regCoords->disposer = list->disposer;
  list->head = list->tail = list->cursor = nullptr;
  list->cursorIndex = 0;
  list->count = 0;
  delete list;
  return 0;
}

int VectorData::addRegCoords(RegCoord* coord) {
  if (!regCoords) regCoords = new DLinkedList<RegCoord>();
  auto* node = new DLinkedList<RegCoord>::Node{regCoords->head, nullptr, coord};
  if (regCoords->head) {
    regCoords->head->prev = node;
    ++regCoords->cursorIndex;
  } else {
    regCoords->tail = node;
    regCoords->cursor = node;
    regCoords->cursorIndex = 0;
  }
  regCoords->head = node;
  ++regCoords->count;
  return 0;
}

}  // namespace zel
