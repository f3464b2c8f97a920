#pragma once

#include <cassert>
#include <utility>

// One node of a Stack: the link towards the bottom and the value.
template <typename T>
struct Stackobject {
    Stackobject* next = nullptr;
    T value;
};

// A small linked stack. Positions count from the top, starting at 1.
template <typename T>
class Stack {
public:
    Stack() = default;
    ~Stack() { clear(); }
    Stack(const Stack&) = delete;
    Stack& operator=(const Stack&) = delete;

    int count() const { return count_; }
    bool empty() const { return count_ == 0; }

    void push(T value) {
        top_ = new Stackobject<T>{top_, std::move(value)};
        ++count_;
    }

    T pop() {
        assert(top_ != nullptr);
        Stackobject<T>* node = top_;
        top_ = node->next;
        --count_;
        T value = std::move(node->value);
        delete node;
        return value;
    }

    // Iterative, so that a long stack cannot overflow the call stack on the way out.
    void clear() {
        while (top_ != nullptr) pop();
    }

    T& at(int position) { return node_at(position)->value; }
    const T& at(int position) const { return const_cast<Stack*>(this)->node_at(position)->value; }
    const T& top() const { return at(1); }

    T remove_at(int position) {
        if (position == 1) return pop();
        Stackobject<T>* before = node_at(position - 1);
        Stackobject<T>* node = before->next;
        before->next = node->next;
        --count_;
        T value = std::move(node->value);
        delete node;
        return value;
    }

    // Destination's top becomes this stack's bottom.
    void copy_reversed_to(Stack& destination) const {
        destination.clear();
        for (const Stackobject<T>* node = top_; node != nullptr; node = node->next)
            destination.push(node->value);
    }

    void copy_to(Stack& destination) const {
        Stack reversed;
        copy_reversed_to(reversed);
        reversed.copy_reversed_to(destination);
    }

    bool contains(const T& value) const {
        for (const Stackobject<T>* node = top_; node != nullptr; node = node->next)
            if (node->value == value) return true;
        return false;
    }

private:
    Stackobject<T>* node_at(int position) {
        assert(position >= 1 && position <= count_);
        Stackobject<T>* node = top_;
        for (int i = 1; i < position; ++i) node = node->next;
        return node;
    }

    int count_ = 0;
    Stackobject<T>* top_ = nullptr;
};
