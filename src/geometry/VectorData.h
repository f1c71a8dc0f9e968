#pragma once
#include <string>

#include "DLinkedList.h"
#include "DecimalCoordinate.h"
#include "RegCoord.h"

namespace zel {

// A geographic polyline or polygon (points in degrees) with its
// registration points. Owns its lists and everything in them.
class VectorData {
 public:
  std::string label;
  DLinkedList<DecimalCoordinate>* points = nullptr;
  DLinkedList<DecimalCoordinate>* secondPoints = nullptr;  // no operation sets it
  bool connected = false;
  bool closed = false;
  DLinkedList<RegCoord>* regCoords = nullptr;  // null until the first registration point
  int counterA = 0;                            // kept at zero; no operation changes them
  int counterB = 0;

  VectorData() = default;
  // Takes ownership of `points`.
  VectorData(DLinkedList<DecimalCoordinate>* points, bool connected, bool closed);
  ~VectorData();
  VectorData(const VectorData&) = delete;
  VectorData& operator=(const VectorData&) = delete;

  bool isClosed() const { return closed; }
  bool isConnected() const { return connected; }

  // Hands the registration points of `list` to this object, which takes
  // ownership of the list: without registration points yet, the list object
  // itself becomes this object's list; otherwise the present points are
  // destroyed, the list's nodes with their points (and its cursor, count and
  // disposer) move over and the emptied list object is deleted. The caller
  // must not use `list` afterwards. Passing the object's own list, or null,
  // changes nothing. Returns 0.
  int setRegCoords(DLinkedList<RegCoord>* list);
  // Puts `coord` (ownership passes) at the front of the registration list,
  // creating the list when there is none. Returns 0.
  int addRegCoords(RegCoord* coord);
};

}  // namespace zel
