#include "app/KorbelCommands.h"
#include "app/ToolIcons.h"

#include <cmath>
#include <cstdlib>

namespace korbel {

namespace {

using ui::CommandInfo;
namespace cmd = ui::cmd;

// Menu text ("&" access key, "\t" accelerator) and prompt ("status text\n
// tooltip") of every command.
const CommandInfo kCommands[] = {
    // File
    {cmd::FileNew, "&New\tCtrl+N", "Create a new document\nNew"},
    {ID_FILE_NEW_FROM_TEMPLATE, "New from &template\tCtrl+T",
     "Create a new project using a template\n New from template"},
    {cmd::FileOpen, "&Open...\tCtrl+O", "Open an existing document\nOpen"},
    {cmd::FileSave, "&Save\tCtrl+S", "Save the active document\nSave"},
    {cmd::FileSaveAs, "Save &As...", "Save the active document with a new name\nSave As"},
    {cmd::FilePrint, "&Print...\tCtrl+P", "Print the active document\nPrint"},
    {cmd::FilePrintPreview, "Print Pre&view", "Display full pages\nPrint Preview"},
    {cmd::FilePageSetup, "Pa&ge Setup", "Set the page margins\nPage Setup"},
    {cmd::FilePrintSetup, "Print Set&up...", "Change the printer and printing options\nPrint Setup"},
    {ID_FILE_SAVE_BITMAP, "Save as &Bitmap", "Save the picture as a bitmap file\nSave as Bitmap"},
    {cmd::AppExit, "E&xit", "Quit the application; prompts to save documents\nExit"},
    // Edit
    {ID_EDIT_REFINE_MESH, "Refine Mesh", "Refine the finite element mesh\nRefine Mesh"},
    {ID_EDIT_TO_LINEAR4, " To Linear 4-noded", "Change the elements to linear 4-noded\nTo Linear 4-noded"},
    {ID_EDIT_TO_QUAD8, "To Quadratic 8-noded", "Change the elements to quadratic 8-noded\nTo Quadratic 8-noded"},
    {ID_EDIT_TO_LAGRANGE9, "To Lagrangian 9-noded", "Change the elements to Lagrangian 9-noded\nTo Lagrangian 9-noded"},
    // Input Data
    {ID_INPUT_TITLE, "&Title", "Edit the title of the model\nTitle"},
    {ID_INPUT_MATERIAL, "&Material Properties", "Edit the material properties\nMaterial Properties"},
    {ID_NEW_MATERIAL, "Material properties", "Add a material for the selected elements\nMaterial properties"},
    {ID_INPUT_NODES, "&Node Coordinates", "Edit the node coordinates\nNode Coordinates"},
    {ID_INPUT_TIME_STEPPING, "Time Steppin&g", "Edit the time stepping\nTime Stepping"},
    {ID_INPUT_SOIL, "Soil &Stiffness", "Choose the soil model and its values\nSoil Stiffness"},
    {ID_INPUT_NONLINEAR_SPRING, "Nonline&ar Spring", "Edit the nonlinear springs\nNonlinear Spring"},
    {ID_ELEMENT_LINEAR4, "&Linear 4-noded", "Linear 4-noded elements\nLinear 4-noded"},
    {ID_ELEMENT_QUAD8, "&Quadratic 8-noded", "Quadratic 8-noded elements\nQuadratic 8-noded"},
    {ID_ELEMENT_LAGRANGE9, "La&grangian 9-noded", "Lagrangian 9-noded elements\nLagrangian 9-noded"},
    {ID_INPUT_CONNECTIVITY, "Element Connectivit&y", "Edit the element connectivity\nElement Connectivity"},
    {ID_INTEGRATION_1, "&1 x 1", "One integration point\n1 x 1"},
    {ID_INTEGRATION_2, "&2 x 2", "Two by two integration points\n2 x 2"},
    {ID_INTEGRATION_3, "&3 x 3", "Three by three integration points\n3 x 3"},
    {ID_NODAL_CONSTRAINTS, "Nodal &Constraints", "Edit the nodal constraints\nNodal Constraints"},
    {ID_NODAL_LOADS, "Nodal &Loads", "Edit the nodal loads\nNodal Loads"},
    {ID_NODAL_CONSTANT_STIFFNESS, "Use Constant Stiffness", "Edit the constant nodal stiffness\nConstant Stiffness"},
    {ID_NODAL_NONLINEAR_SPRING, "Use Nonlinear Spring", "Assign nonlinear springs to nodes\nNonlinear Spring"},
    {ID_DISTRIBUTED_LOADS, "&Distributed Loads", "Edit the distributed loads\nDistributed Loads"},
    {ID_DISTRIBUTED_STIFFNESS, "Distributed Sti&ffness", "Edit the distributed stiffness\nDistributed Stiffness"},
    {ID_CONCENTRATED_LOADS, "C&oncentrated Loads", "Edit the concentrated loads\nConcentrated Loads"},
    {ID_CONCENTRATED_STIFFNESS, "Concent&rated Stiffness", "Edit the concentrated stiffness\nConcentrated Stiffness"},
    {ID_EQUIVALENT_LOADS, "E&quivalent Concentrated Loads",
     "Edit the equivalent concentrated loads\nEquivalent Concentrated Loads"},
    {ID_EDGE_LOADS, "&Edge Loads", "Edit the edge loads\nEdge Loads"},
    {ID_EDGE_STIFFNESS, "Edge Sti&ffness", "Edit the edge stiffness\nEdge Stiffness"},
    {ID_NODE_SETS, "No&de Sets", "Define node sets\nNode Sets"},
    {ID_ELEMENT_SETS, "&Element Sets", "Define element sets\nElement Sets"},
    {ID_EDGE_SETS, "Ed&ge Sets", "Define edge sets\nEdge Sets"},
    {ID_SECTION_CUT, "Section C&ut", "Define the section cut lines\nSection Cut"},
    {ID_NODE_PATH, "Node Pat&h", "Define a path of nodes\nNode Path"},
    // Computations
    {ID_RUN_ANALYSIS, "&Run Analysis", "Perform Analysis\nRun Analysis"},
    {ID_VIEW_INPUT_FILE, "View &Input File", "Show the model file in the text editor\nView Input File"},
    {ID_VIEW_OUTPUT_FILE, "View &Output File", "Show the analysis listing in the text editor\nView Output File"},
    {ID_VIEW_MESSAGE_FILE, "View &Message File", "Show the message file in the text editor\nView Message File"},
    {ID_READ_RESULTS, "Read Results", "Read the results of the last analysis\nRead Results"},
    // Transform
    {ID_PANNING, "&Panning", "Move the picture with the mouse\nPanning"},
    {ID_ROTATE, "&Rotate", "Rotate the picture with the mouse\nRotate"},
    {ID_ZOOM, "&Zoom In/Out", "Zoom with the mouse\nZoom In/Out"},
    {ID_ZOOM_WINDOW, "Zoom &Window", "Zoom into a rectangle drawn with the mouse\nZoom Window"},
    {ID_RESTART, "Re&start", "Show the whole model again\nRestart"},
    {ID_VIEW_TOP, "&YZ View (Top)", "View from the top\nTop View"},
    {ID_VIEW_BOTTOM, "YZ View (&Bottom)", "View from the bottom\nBottom View"},
    {ID_VIEW_FRONT, "&XY View (Front)", "View from the front\nFront View"},
    {ID_VIEW_SIDE, "X&Z View (Side)", "View from the side\nSide View"},
    {ID_VIEW_3D, "XYZ View (3&D View)", "Three-dimensional view\n3D View"},
    {ID_ROTATION_ANGLES, "Rotation &Angles", "Enter the rotation angles\nRotation Angles"},
    // Results
    {ID_SELECT_STEP, "Select Ste&p", "Choose the result step\nSelect Step"},
    {ID_DEFORMED_MESH, "&Deformed Mesh", "Show the deformed mesh\nDeformed Mesh"},
    {ID_CONTOUR_PLOT, "&Contour Plot", "Show a contour plot of a result\nContour Plot"},
    {ID_XY_PLOT, "X-Y Curve Plot", "Plot results along a path\nX-Y Curve Plot"},
    {ID_NODE_RESULTS, "Node Results", "Show the results of a picked node\nNode Results"},
    // Options
    {ID_MARK_NODES, "&Mark Nodes", "Mark the nodes\nMark Nodes"},
    {ID_NODE_NUMBERS, "&Node Numbers", "Show the node numbers\nNode Numbers"},
    {ID_FONT_COLOR, "Font and Color", "Choose the label font and the colours\nFont and Color"},
    {ID_ELEMENT_NUMBERS, "&Element Numbers", "Show the element numbers\nElement Numbers"},
    {ID_BOUNDARY_ONLY, "&Boundary Only", "Show the boundary of the mesh only\nBoundary Only"},
    {ID_LOCAL_AXES, "Local Axes", "Show the local axes of the elements\nLocal Axes"},
    {ID_GLOBAL_AXES, "Global Axes", "Show the global axes\nGlobal Axes"},
    {ID_SOLID_FACE, "Solid Face", "Fill the element faces\nSolid Face"},
    {ID_SHOW_THICKNESS, "Show Thickness", "Show the slab thickness\nShow Thickness"},
    {ID_SHOW_NODAL_CONSTRAINT, "Nodal &Constraint", "Show the nodal constraints\nNodal Constraint"},
    {ID_SHOW_NODAL_LOADS, "Nodal &Loads", "Show the nodal loads\nNodal Loads"},
    {ID_SHOW_NODAL_STIFFNESS, "Nodal &Stiffness", "Show the nodal stiffness\nNodal Stiffness"},
    {ID_SHOW_NODAL_NONLINEAR, "Nodal Nonlinear Spring", "Show the nodal nonlinear springs\nNodal Nonlinear Spring"},
    {ID_SHOW_CONCENTRATED_LOADS, "Concentrated &Loads", "Show the concentrated loads\nConcentrated Loads"},
    {ID_SHOW_EQUIVALENT_LOADS, "Equivalent Concentrated Loads",
     "Show the equivalent concentrated loads\nEquivalent Concentrated Loads"},
    {ID_SHOW_CONCENTRATED_STIFFNESS, "Concentrated &Stiffness",
     "Show the concentrated stiffness\nConcentrated Stiffness"},
    {ID_SHOW_TOTAL_STIFFNESS, "Concentrated &Total Stiffness",
     "Show the total concentrated stiffness\nConcentrated Total Stiffness"},
    {ID_SHOW_DISTRIBUTED_LOADS, "Distributed &Loads", "Show the distributed loads\nDistributed Loads"},
    {ID_SHOW_DISTRIBUTED_STIFFNESS, "Distributed &Stiffness", "Show the distributed stiffness\nDistributed Stiffness"},
    {ID_SHOW_EDGE_LOADS, "Edge &Loads", "Show the edge loads\nEdge Loads"},
    {ID_SHOW_EDGE_STIFFNESS, "Edge &Stiffness", "Show the edge stiffness\nEdge Stiffness"},
    // Selection
    {ID_SELECT_NODE, "Select Node", "Pick nodes in the picture\nSelect Node"},
    {ID_SELECT_ELEMENT, "Select Element", "Pick elements in the picture\nSelect Element"},
    {ID_SELECT_EDGE, "Select Edge", "Pick element sides in the picture\nSelect Edge"},
    // View
    {cmd::ViewToolBar, "&Toolbar", "Show or hide the file toolbar\nToggle File ToolBar"},
    {ID_VIEW_VIEW_TOOLBAR, "&View Toolbar", "Show or hide the view toolbar\nToggle View ToolBar"},
    {ID_VIEW_SELECT_TOOLBAR, "&Select Toolbar", "Show or hide the select toolbar\nToggle Select ToolBar"},
    {ID_VIEW_ACTIONS_TOOLBAR, "&Actions Toolbar", "Show or hide the actions toolbar\nToggle Actions ToolBar"},
    {ID_VIEW_RESULTS_TOOLBAR, "&Results Toolbar", "Show or hide the results toolbar\nToggle Results ToolBar"},
    {cmd::ViewStatusBar, "&Status Bar", "Show or hide the status bar\nToggle StatusBar"},
    // Help
    {cmd::HelpFinder, "&Help", "List Help topics\nHelp Topics"},
    {ID_USERS_MANUAL, "2025 User's Manual", "View User's Manual\nUser's Manual"},
    {ID_TECHNICAL_MANUAL, "2025 Technical Manual", "View Technical Manual\nTechnical Manual"},
    {ID_HELP_USER_INFORMATION, "&User Information", "Edit User Information\nUser Info"},
    {cmd::AppAbout, "&About Brennix...", "Display program information, version number and copyright\nAbout"},
};

void AddAll(ui::MenuItem& popup, std::initializer_list<int> ids) {
    for (int id : ids) {
        if (id == 0)
            popup.AddSeparator();
        else
            popup.AddCommand(id);
    }
}

ui::ToolBar MakeBar(const std::string& name, std::vector<int> buttons) {
    ui::ToolBar bar;
    bar.name = name;
    bar.buttons = std::move(buttons);
    bar.images = ToolIconStrip(bar.buttons);
    bar.imageCount = bar.images.width / kToolIconSide;
    bar.state.assign(bar.buttons.size(), ui::CmdUI(0));
    return bar;
}

}  // namespace

void RegisterCommands() {
    for (const CommandInfo& info : kCommands) ui::RegisterCommand(info);
}

ui::MenuItem BuildMenuBar() {
    ui::MenuItem bar;
    ui::MenuItem& file = bar.AddPopup("&File");
    AddAll(file,
           {cmd::FileNew, ID_FILE_NEW_FROM_TEMPLATE, cmd::FileOpen, cmd::FileSave, cmd::FileSaveAs, 0, cmd::FilePrint,
            cmd::FilePrintPreview, cmd::FilePageSetup, cmd::FilePrintSetup, 0, ID_FILE_SAVE_BITMAP, 0});
    // The recent files go after the last separator (the frame fills them).
    file.AddCommand(cmd::FileMruFirst, "Recent File");
    file.AddSeparator();
    file.AddCommand(cmd::AppExit);

    ui::MenuItem& edit = bar.AddPopup("&Edit");
    edit.AddCommand(ID_EDIT_REFINE_MESH);
    AddAll(edit.AddPopup("Change Element Type"), {ID_EDIT_TO_LINEAR4, ID_EDIT_TO_QUAD8, ID_EDIT_TO_LAGRANGE9});

    ui::MenuItem& input = bar.AddPopup("&Input Data");
    AddAll(input, {ID_INPUT_TITLE, ID_INPUT_MATERIAL, ID_INPUT_NODES, ID_INPUT_TIME_STEPPING, ID_INPUT_SOIL,
                   ID_INPUT_NONLINEAR_SPRING, 0});
    AddAll(input.AddPopup("Element Type"), {ID_ELEMENT_LINEAR4, ID_ELEMENT_QUAD8, ID_ELEMENT_LAGRANGE9});
    input.AddCommand(ID_INPUT_CONNECTIVITY);
    AddAll(input.AddPopup("Integration Points"), {ID_INTEGRATION_1, ID_INTEGRATION_2, ID_INTEGRATION_3});
    input.AddSeparator();
    AddAll(input, {ID_NODAL_CONSTRAINTS, ID_NODAL_LOADS});
    AddAll(input.AddPopup("Nodal Stiffness"), {ID_NODAL_CONSTANT_STIFFNESS, ID_NODAL_NONLINEAR_SPRING});
    AddAll(input, {ID_DISTRIBUTED_LOADS, ID_DISTRIBUTED_STIFFNESS, ID_CONCENTRATED_LOADS, ID_CONCENTRATED_STIFFNESS,
                   ID_EQUIVALENT_LOADS, ID_EDGE_LOADS, ID_EDGE_STIFFNESS, 0, ID_NODE_SETS, ID_ELEMENT_SETS,
                   ID_EDGE_SETS, 0, ID_SECTION_CUT, ID_NODE_PATH});

    AddAll(bar.AddPopup("&Computations"),
           {ID_RUN_ANALYSIS, 0, ID_VIEW_INPUT_FILE, ID_VIEW_OUTPUT_FILE, ID_VIEW_MESSAGE_FILE});

    AddAll(bar.AddPopup("&Transform"),
           {ID_PANNING, ID_ROTATE, ID_ZOOM, ID_ZOOM_WINDOW, ID_RESTART, 0, ID_VIEW_TOP, ID_VIEW_BOTTOM, ID_VIEW_FRONT,
            ID_VIEW_SIDE, ID_VIEW_3D, 0, ID_ROTATION_ANGLES});

    AddAll(bar.AddPopup("&Results"),
           {ID_SELECT_STEP, 0, ID_DEFORMED_MESH, ID_CONTOUR_PLOT, ID_XY_PLOT, ID_NODE_RESULTS});

    AddAll(bar.AddPopup("&Options"), {ID_MARK_NODES,
                                      ID_NODE_NUMBERS,
                                      ID_ELEMENT_NUMBERS,
                                      ID_BOUNDARY_ONLY,
                                      ID_LOCAL_AXES,
                                      ID_GLOBAL_AXES,
                                      ID_SOLID_FACE,
                                      ID_SHOW_THICKNESS,
                                      0,
                                      ID_SHOW_NODAL_CONSTRAINT,
                                      ID_SHOW_NODAL_LOADS,
                                      ID_SHOW_NODAL_STIFFNESS,
                                      ID_SHOW_NODAL_NONLINEAR,
                                      ID_SHOW_CONCENTRATED_LOADS,
                                      ID_SHOW_EQUIVALENT_LOADS,
                                      ID_SHOW_CONCENTRATED_STIFFNESS,
                                      ID_SHOW_TOTAL_STIFFNESS,
                                      ID_SHOW_DISTRIBUTED_LOADS,
                                      ID_SHOW_DISTRIBUTED_STIFFNESS,
                                      ID_SHOW_EDGE_LOADS,
                                      ID_SHOW_EDGE_STIFFNESS,
                                      0,
                                      ID_FONT_COLOR});

    AddAll(bar.AddPopup("&Selection"), {ID_SELECT_NODE, ID_SELECT_ELEMENT, ID_SELECT_EDGE});

    AddAll(bar.AddPopup("&View"), {cmd::ViewToolBar, ID_VIEW_VIEW_TOOLBAR, ID_VIEW_SELECT_TOOLBAR,
                                   ID_VIEW_ACTIONS_TOOLBAR, ID_VIEW_RESULTS_TOOLBAR, cmd::ViewStatusBar});

    AddAll(bar.AddPopup("&Help"),
           {cmd::HelpFinder, ID_USERS_MANUAL, ID_TECHNICAL_MANUAL, 0, ID_HELP_USER_INFORMATION, cmd::AppAbout});
    return bar;
}

std::vector<ui::ToolBar> BuildToolBars() {
    std::vector<ui::ToolBar> bars;
    bars.push_back(MakeBar("File", {cmd::FileNew, cmd::FileOpen, cmd::FileSave, ID_FILE_NEW_FROM_TEMPLATE,
                                    cmd::FilePrint, cmd::FilePrintPreview, ID_FILE_SAVE_BITMAP, ID_RUN_ANALYSIS,
                                    ID_VIEW_INPUT_FILE, ID_VIEW_MESSAGE_FILE, cmd::AppAbout}));
    bars.push_back(MakeBar("View", {ID_PANNING, ID_ROTATE, ID_ZOOM, ID_ZOOM_WINDOW, ID_RESTART, ID_VIEW_TOP,
                                    ID_VIEW_BOTTOM, ID_VIEW_FRONT, ID_VIEW_SIDE, ID_VIEW_3D, ID_ROTATION_ANGLES}));
    bars.push_back(MakeBar("Select", {ID_SELECT_NODE, ID_SELECT_ELEMENT, ID_SELECT_EDGE}));
    bars.push_back(MakeBar("Actions", {ID_NEW_MATERIAL, ID_NODAL_CONSTRAINTS, ID_NODAL_LOADS, ID_DISTRIBUTED_LOADS,
                                       ID_DISTRIBUTED_STIFFNESS, ID_CONCENTRATED_LOADS, ID_CONCENTRATED_STIFFNESS,
                                       ID_EDGE_LOADS, ID_EDGE_STIFFNESS, ID_SECTION_CUT}));
    bars.push_back(
        MakeBar("Results", {ID_SELECT_STEP, ID_DEFORMED_MESH, ID_CONTOUR_PLOT, ID_XY_PLOT, ID_NODE_RESULTS}));
    return bars;
}

}  // namespace korbel
