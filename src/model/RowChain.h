#pragma once
// The container behind every input table: a singly linked chain of rows owned
// by the table, and an index of row pointers for access by position.
//
// Appending links a row at the tail and leaves count and index alone; whoever
// appends recounts (CountRows) and rebuilds the index (RebuildIndex)
// afterwards. Insert, remove and sort keep count and index right themselves.
// Row positions are 0-based. Rows need a `next` member of type Row*.

#include <algorithm>
#include <cassert>
#include <vector>

template <class Row>
class RowChain {
public:
    RowChain() = default;
    RowChain(const RowChain&) = delete;
    RowChain& operator=(const RowChain&) = delete;
    // Moving hands the whole chain over; the source is left empty.
    RowChain(RowChain&& other) noexcept { TakeFrom(other); }
    RowChain& operator=(RowChain&& other) noexcept {
        if (this != &other) {
            DeleteRows();
            TakeFrom(other);
        }
        return *this;
    }
    ~RowChain() { DeleteRows(); }

    Row* GetHead() const { return head_; }
    Row* GetTail() const { return tail_; }

    // Row at position i of the index (the index must be current).
    Row* GetRow(int i) const {
        assert(i >= 0 && i < static_cast<int>(index_.size()));
        return index_[static_cast<size_t>(i)];
    }
    // Row at position i, or null when the index holds no such position.
    Row* RowOrNull(int i) const {
        if (i < 0 || i >= static_cast<int>(index_.size())) return nullptr;
        return index_[static_cast<size_t>(i)];
    }

    int GetCount() const { return count_; }
    void SetCount(int count) { count_ = count; }

    // Walks the chain from the head and stores the number of rows in count.
    int CountRows() {
        int n = 0;
        for (Row* r = head_; r; r = r->next) ++n;
        count_ = n;
        return n;
    }

    // Fills the index with the first `count` rows of the chain. When the chain
    // is shorter than count, count drops to the number of rows found.
    void RebuildIndex() {
        index_.clear();
        if (count_ < 0) count_ = 0;
        index_.reserve(static_cast<size_t>(count_));
        for (Row* r = head_; r && static_cast<int>(index_.size()) < count_; r = r->next) index_.push_back(r);
        count_ = static_cast<int>(index_.size());
    }

    // Deletes every row of the chain; head, tail, index and count are emptied.
    void DeleteRows() {
        Row* r = head_;
        while (r) {
            Row* next = r->next;
            delete r;
            r = next;
        }
        head_ = tail_ = nullptr;
        index_.clear();
        count_ = 0;
    }

protected:
    // Links a new row after the tail (count and index untouched).
    void LinkAtTail(Row* row) {
        row->next = nullptr;
        if (tail_)
            tail_->next = row;
        else
            head_ = row;
        tail_ = row;
    }

    // Places a new row before position i (0 to count); i equal to count makes
    // it the tail. Count grows by one and the index is rebuilt. A position
    // outside 0..count deletes the row and changes nothing.
    bool InsertRowAt(int i, Row* row) {
        SyncIndex();
        if (i < 0 || i > count_) {
            delete row;
            return false;
        }
        Row* before = i > 0 ? index_[static_cast<size_t>(i - 1)] : nullptr;
        Row* after = before ? before->next : head_;
        row->next = after;
        if (before)
            before->next = row;
        else
            head_ = row;
        if (!after) tail_ = row;
        ++count_;
        RebuildIndex();
        return true;
    }

    // Unlinks and deletes the row at position i; nothing for a position
    // outside 0..count-1. Count drops by one and the index is rebuilt.
    bool RemoveRowAt(int i) {
        SyncIndex();
        if (i < 0 || i >= count_) return false;
        Row* row = index_[static_cast<size_t>(i)];
        Row* before = i > 0 ? index_[static_cast<size_t>(i - 1)] : nullptr;
        Row* after = row->next;
        if (before)
            before->next = after;
        else
            head_ = after;
        if (tail_ == row) tail_ = before;
        delete row;
        --count_;
        RebuildIndex();
        return true;
    }

    // Stable ascending sort of all rows by `less(a, b)`: a row moves before
    // another only when its key is strictly smaller, so equal keys keep their
    // order. Relinks the chain; head, tail, index and count follow it.
    template <class Less>
    void SortRows(Less less) {
        std::vector<Row*> rows;
        for (Row* r = head_; r; r = r->next) rows.push_back(r);
        std::stable_sort(rows.begin(), rows.end(), less);
        for (size_t k = 0; k + 1 < rows.size(); ++k) rows[k]->next = rows[k + 1];
        if (!rows.empty()) rows.back()->next = nullptr;
        head_ = rows.empty() ? nullptr : rows.front();
        tail_ = rows.empty() ? nullptr : rows.back();
        index_ = std::move(rows);
        count_ = static_cast<int>(index_.size());
    }

    // Full copy: replaces the rows by `copy(row)` (a new row) of each source
    // row in order, takes the source's count and rebuilds the index. Copying
    // a table onto itself changes nothing.
    template <class MakeCopy>
    void CopyRowsFrom(const RowChain& source, MakeCopy copy) {
        if (&source == this) return;
        DeleteRows();
        count_ = source.count_;
        for (const Row* r = source.head_; r; r = r->next) LinkAtTail(copy(*r));
        RebuildIndex();
    }

    // Value copy of a same-sized table: walks both chains in step and calls
    // assign(target row, source row); rows, count and index stay. The chain
    // link of each target row is kept whatever `assign` does with it.
    template <class Assign>
    void AssignRowsFrom(const RowChain& source, Assign assign) {
        Row* t = head_;
        for (const Row* s = source.head_; s && t; s = s->next) {
            Row* next = t->next;
            assign(*t, *s);
            t->next = next;
            t = next;
        }
    }

    // Row part of a table comparison: true when differ(a, b) holds for a pair
    // of rows walked in step, or when one chain is longer.
    template <class Differ>
    bool RowsDiffer(const RowChain& other, Differ differ) const {
        const Row* a = head_;
        const Row* b = other.head_;
        for (; a && b; a = a->next, b = b->next)
            if (differ(*a, *b)) return true;
        return a != nullptr || b != nullptr;
    }

    // Binary search of an index sorted by the integer `key(row)`: the
    // position of the row whose key equals `wanted`, -1 when none. Calls
    // probe(position, key) at every probe that does not match.
    template <class Key, class Probe>
    int SearchIndex(int wanted, Key key, Probe probe) const {
        int low = 0;
        int high = static_cast<int>(index_.size()) - 1;
        while (high >= low) {
            const int middle = low + (high - low) / 2;
            const int n = key(*index_[static_cast<size_t>(middle)]);
            if (n == wanted) return middle;
            probe(middle, n);
            if (n < wanted)
                low = middle + 1;
            else
                high = middle - 1;
        }
        return -1;
    }
    template <class Key>
    int SearchIndex(int wanted, Key key) const {
        return SearchIndex(wanted, key, [](int, int) {});
    }

    // Largest `key(row)` over all rows; 0 for an empty table.
    template <class Key>
    int MaxKey(Key key) const {
        if (!head_) return 0;
        int best = key(*head_);
        for (const Row* r = head_->next; r; r = r->next) best = std::max(best, key(*r));
        return best;
    }

    // Positional edits rely on a current index; after appends without a
    // recount the chain is counted and indexed first so that no row is lost.
    void SyncIndex() {
        if (static_cast<int>(index_.size()) != count_ || (count_ > 0 && index_.back()->next != nullptr) ||
            (count_ == 0 && head_ != nullptr)) {
            CountRows();
            RebuildIndex();
        }
    }

    void TakeFrom(RowChain& other) noexcept {
        tail_ = other.tail_;
        head_ = other.head_;
        index_ = std::move(other.index_);
        count_ = other.count_;
        other.tail_ = other.head_ = nullptr;
        other.index_.clear();
        other.count_ = 0;
    }

    Row* tail_ = nullptr;
    Row* head_ = nullptr;
    std::vector<Row*> index_;
    int count_ = 0;
};
