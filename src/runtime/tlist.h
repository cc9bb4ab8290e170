// TList: an ordered, doubly linked list of shared object references (identity, never copies).
// Iteration holds the next link before handing out the current element, so the loop body may
// remove the current element and the walk goes on with the one that followed it. SortList is
// the exact bubble sort the high-score table depends on: ties move according to what the
// elements' comparison returns for them, not by a stable rule.
#pragma once
#include <memory>

template <class T> class TList {
    struct Node {
        std::shared_ptr<T> value;
        Node* prev = nullptr;
        Node* next = nullptr;
    };

  public:
    class iterator {
      public:
        iterator(Node* node, const Node* end)
            : current(node), following(node != end ? node->next : nullptr) {}
        // By value: the body may remove (and so free) the current link.
        std::shared_ptr<T> operator*() const { return current->value; }
        iterator& operator++() {
            current = following;
            following = current ? current->next : nullptr;
            return *this;
        }
        bool operator!=(const iterator& other) const { return current != other.current; }

      private:
        Node* current;
        Node* following;
    };

    TList() { head.prev = head.next = &head; }
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    ~TList() { clear(); }

    iterator begin() { return iterator(head.next, &head); }
    iterator end() { return iterator(&head, &head); }

    void addLast(std::shared_ptr<T> value) { insertBefore(&head, std::move(value)); }
    void addFirst(std::shared_ptr<T> value) { insertBefore(head.next, std::move(value)); }

    // Removes the first element that is this object; nothing happens if it is absent.
    void remove(const T* object) {
        for (Node* n = head.next; n != &head; n = n->next) {
            if (n->value.get() == object) {
                unlink(n);
                return;
            }
        }
    }
    std::shared_ptr<T> removeLast() {
        if (head.prev == &head) return nullptr;
        std::shared_ptr<T> value = head.prev->value;
        unlink(head.prev);
        return value;
    }
    int count() const {
        int n = 0;
        for (const Node* p = head.next; p != &head; p = p->next) ++n;
        return n;
    }
    bool empty() const { return head.next == &head; }
    std::shared_ptr<T> first() const { return head.next != &head ? head.next->value : nullptr; }
    std::shared_ptr<T> last() const { return head.prev != &head ? head.prev->value : nullptr; }
    void clear() {
        while (head.next != &head) unlink(head.next);
    }

    // compare(a, b) > 0 exchanges neighbours when ascending, < 0 when descending.
    template <class Compare> void sort(bool descending, Compare compare) {
        Node* endMark = &head;
        for (;;) {
            bool swapped = false;
            Node* a = head.next;
            while (a != endMark && a->next != endMark) {
                Node* b = a->next;
                int c = compare(*a->value, *b->value);
                if (descending ? c < 0 : c > 0) {
                    moveBefore(b, a); // a keeps its place in the walk
                    swapped = true;
                } else {
                    a = b;
                }
            }
            if (!swapped) return;
            endMark = a;
        }
    }

  private:
    Node head;

    void insertBefore(Node* at, std::shared_ptr<T> value) {
        Node* n = new Node{std::move(value), at->prev, at};
        at->prev->next = n;
        at->prev = n;
    }
    void unlink(Node* n) {
        n->prev->next = n->next;
        n->next->prev = n->prev;
        delete n;
    }
    void moveBefore(Node* n, Node* at) {
        n->prev->next = n->next;
        n->next->prev = n->prev;
        n->prev = at->prev;
        n->next = at;
        at->prev->next = n;
        at->prev = n;
    }
};

// The names the game's code uses.
template <class T> std::unique_ptr<TList<T>> CreateList() {
    return std::make_unique<TList<T>>();
}
template <class T> void ListAddLast(TList<T>& list, std::shared_ptr<T> v) {
    list.addLast(std::move(v));
}
template <class T> void ListAddFirst(TList<T>& list, std::shared_ptr<T> v) {
    list.addFirst(std::move(v));
}
template <class T> void ListRemove(TList<T>& list, const T* object) {
    list.remove(object);
}
template <class T> std::shared_ptr<T> ListRemoveLast(TList<T>& list) {
    return list.removeLast();
}
template <class T> int ListCount(const TList<T>& list) {
    return list.count();
}
template <class T> void ClearList(TList<T>& list) {
    list.clear();
}
template <class T, class Compare> void SortList(TList<T>& list, bool descending, Compare compare) {
    list.sort(descending, compare);
}
