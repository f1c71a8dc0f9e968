#pragma once

// A doubly linked list of owned element pointers: adding a pointer hands it
// over, and the list deletes its elements (or passes each to `disposer`).
template <typename T>
class DLinkedList {
 public:
  struct Node {
    Node* next;
    Node* prev;
    T* element;
  };

  Node* head = nullptr;
  Node* tail = nullptr;
  Node* cursor = nullptr;
  int cursorIndex = 0;
  int count = 0;
  void (*disposer)(T** element) = nullptr;

  DLinkedList() = default;
  DLinkedList(const DLinkedList&) = delete;
  DLinkedList& operator=(const DLinkedList&) = delete;
  ~DLinkedList() {
    while (head) removeHead();
  }

  // Appends `element` and takes ownership of it.
  void add(T* element) {
    Node* node = new Node{nullptr, tail, element};
    if (tail) {
      tail->next = node;
    } else {
      head = node;
      cursor = node;
      cursorIndex = 0;
    }
    tail = node;
    ++count;
  }

  // The element `index` steps from the head; null when out of range.
  T* get(int index) const {
    if (index < 0 || index >= count) return nullptr;
    Node* node = head;
    for (int i = 0; i < index; ++i) node = node->next;
    return node->element;
  }

  int size() const { return count; }

  void reset() {
    cursor = head;
    cursorIndex = 0;
  }

  // The cursor's element; the cursor then moves on, except on the last node.
  T* next() {
    if (!cursor) return nullptr;
    T* element = cursor->element;
    if (cursorIndex < count - 1 && cursor->next) {
      cursor = cursor->next;
      ++cursorIndex;
    }
    return element;
  }

 private:
  void removeHead() {
    Node* node = head;
    if (count == 1) {
      cursor = nullptr;
      cursorIndex = 0;
    } else if (cursor && cursorIndex == count - 1) {
      --cursorIndex;
    } else if (cursor) {
      cursor = cursor->next;
    }
    head = node->next;
    if (head) head->prev = nullptr; else tail = nullptr;
    --count;
    T* element = node->element;
    if (disposer) disposer(&element); else delete element;
    delete node;
  }
};
