// Internal to verify/: the verifier's lists are chains of heap nodes linked through `next`;
// one routine frees such a chain.
#ifndef KT_VERIFY_NODE_LIST_H
#define KT_VERIFY_NODE_LIST_H

#include "crypto/memory.h"

// Frees every node from `head` on; null is an empty chain.
template <typename Node>
void ReleaseNodes(Node* head) {
  while (head != nullptr) {
    Node* next = head->next;
    MemoryRelease(head);
    head = next;
  }
}

#endif
