#include "engine/EventPool.h"

void EventPool::reserve(std::size_t capacity) {
    nodes_ = std::make_unique<Event[]>(capacity);
    capacity_ = capacity;
    available_ = capacity;
    free_ = nullptr;
    for (std::size_t i = capacity; i-- > 0;) {
        nodes_[i].next = free_;
        free_ = &nodes_[i];
    }
}

Event* EventPool::take() {
    Event* event = free_;
    if (event == nullptr) {
        return nullptr;
    }
    free_ = event->next;
    event->next = nullptr;
    --available_;
    return event;
}

void EventPool::give(Event* event) {
    event->next = free_;
    free_ = event;
    ++available_;
}
