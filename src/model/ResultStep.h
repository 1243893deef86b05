#pragma once
// One result step read back from the solver's step results: 26 values per node
// row. Steps form a singly linked list whose first step the model holds;
// deleting a step deletes the steps after it, so deleting the first releases
// the whole list.

#include <string>
#include <vector>

struct ResultStep {
    int stepNumber = 0;
    int columnCount = 26;
    int rowCount = 0;
    std::string label;                      // opening word and step number ("STEP   1")
    std::vector<std::vector<double>> rows;  // one row of columnCount values per node
    ResultStep* next = nullptr;

    ResultStep() = default;
    ResultStep(const ResultStep&) = delete;
    ResultStep& operator=(const ResultStep&) = delete;
    ~ResultStep() {
        // Unlink the followers one by one so that a long list needs no deep
        // recursion.
        ResultStep* rest = next;
        next = nullptr;
        while (rest) {
            ResultStep* after = rest->next;
            rest->next = nullptr;
            delete rest;
            rest = after;
        }
    }
};
