// The openers of the action grids, for the document's commands Input Data,
// "Nodal Constraints", "Nodal Loads", "Use Constant Stiffness",
// "Distributed Loads", "Distributed Stiffness", "Concentrated Loads",
// "Concentrated Stiffness", "Edge Loads" and "Edge Stiffness". The document
// and view are reached through their host interfaces only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "uibase/Hosts.h"
#include "platform/ui/Dialog.h"

namespace actiondialogs {

// A modeless grid the document keeps once made: the window (not yet
// created), its modeless creation, its reloading for another table kind at
// every later opening, and the route of picks into its current row.
struct RoutedGrid {
    std::unique_ptr<ui::Dialog> window;
    std::function<bool()> create;
    std::function<void(int kind)> reopen;
    std::function<void(const std::string&)> insertPickedName;
};

// The nodal actions grid, kinds 1 to 5 (specified displacements, nodal
// loads, nodal stiffnesses, distributed loads, distributed stiffnesses).
RoutedGrid MakeNodalActionsGrid(DocHost& doc, ViewHost& view, int kind);
// The edge actions grid, kind 1 loads, 2 stiffnesses.
RoutedGrid MakeEdgeActionsGrid(DocHost& doc, ViewHost& view, int kind);

}  // namespace actiondialogs
