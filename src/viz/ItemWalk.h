#pragma once
// Walks an item text of the drawing (a highlight, a set, or the target of an
// action row) and visits every node, element or element side it names, as
// the solver expands the text: each comma item on its own, a number item its
// own node or element, a range first;last;step (edge sides with ;side) every
// number of it up to the largest number in use, a name the members of that
// set ("ALL" every item of the kind). A set naming itself, or an enclosing
// set, is expanded once. Numbers that name nothing are skipped.

#include <functional>
#include <string>
#include <vector>

class ModelData;

namespace viz {

class ItemWalk {
public:
    enum Kind { kNodes = 1, kElements = 2, kSides = 3 };
    // (row position, side 1..4); side is 0 for nodes and elements.
    using Visit = std::function<void(int row, int side)>;

    ItemWalk(const ModelData& model, int kind, Visit visit);

    // Number items of a side text are edge codes 4 x element + side.
    void Text(const std::string& text);
    // The target of an edge action row: a number item is an element whose
    // side is the row's side; names are edge sets whose members carry their
    // own sides.
    void EdgeRowText(const std::string& text, int side);
    // Numbers looked up and rows visited so far: the work the texts took.
    long Steps() const { return steps_; }

private:
    int Limit() const;
    int RowOf(int number) const;
    void Number(int number, int side);
    void EdgeCode(int code);
    void NumberItem(const std::string& item);
    void Name(const std::string& name);
    void All();

    const ModelData& model_;
    int kind_;
    Visit visit_;
    std::vector<std::string> expanded_;
    long steps_ = 0;
};

}  // namespace viz
