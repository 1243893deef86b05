#pragma once
// The three named lists the model keeps beside its tables: node paths,
// nonlinear springs (deformation-force profiles) and nonlinear nodal actions
// (a group of nodes given one spring). Each is a doubly linked chain whose
// first node the model holds; the `last` link of the first node names the
// final node. The list operations are members of ModelData (ModelLists.cpp).

#include <string>
#include <vector>

struct NodePath {
    int mode = 0;      // which dialog input defines the path
    std::string name;  // group name
    int startNode = 0;
    int endNode = 0;
    std::string nodeListText;  // node numbers separated by commas
    std::vector<int> nodes;    // node numbers of the path in order
    NodePath* next = nullptr;
    NodePath* previous = nullptr;
    NodePath* last = nullptr;
};

struct NonlinearSpring {
    std::string name;
    std::vector<double> deformations;
    std::vector<double> forces;  // one per deformation
    NonlinearSpring* next = nullptr;
    NonlinearSpring* previous = nullptr;
    NonlinearSpring* last = nullptr;
};

struct NonlinearAction {
    std::string groupName;
    std::string nodeText;           // node-set name or node list, as setSelector says
    std::string springName;         // name of a NonlinearSpring
    int reserved = 0;               // 0 from the dialog; copied with the record
    int springNumber = 0;           // written beside each node of the group
    unsigned char setSelector = 0;  // 1: nodeText names a node set; 0: a node list
    std::vector<int> nodes;         // node numbers last resolved to
    std::vector<double> nodeY;      // y of each resolved node
    std::vector<double> nodeZ;      // z of each resolved node
    NonlinearAction* next = nullptr;
    NonlinearAction* previous = nullptr;
    NonlinearAction* last = nullptr;
};
