// The program's commands: every menu item with its id, menu text and status
// text, the menu bar, and the five toolbars.
#pragma once

#include "platform/ui/Commands.h"
#include "platform/ui/Frame.h"

namespace korbel {

// Application and frame.
constexpr int ID_FILE_NEW_FROM_TEMPLATE = 32808;
constexpr int ID_HELP_USER_INFORMATION = 32926;
constexpr int ID_VIEW_VIEW_TOOLBAR = 32846;
constexpr int ID_VIEW_SELECT_TOOLBAR = 32847;
constexpr int ID_VIEW_ACTIONS_TOOLBAR = 32856;
constexpr int ID_VIEW_RESULTS_TOOLBAR = 32874;
// File.
constexpr int ID_FILE_SAVE_BITMAP = 32809;
// Edit.
constexpr int ID_EDIT_REFINE_MESH = 32908;
constexpr int ID_EDIT_TO_LINEAR4 = 32910;
constexpr int ID_EDIT_TO_QUAD8 = 32911;
constexpr int ID_EDIT_TO_LAGRANGE9 = 32912;
// Input Data.
constexpr int ID_INPUT_TITLE = 32796;
constexpr int ID_INPUT_MATERIAL = 32890;
constexpr int ID_NEW_MATERIAL = 32860;
constexpr int ID_INPUT_NODES = 32798;
constexpr int ID_INPUT_TIME_STEPPING = 32816;
constexpr int ID_INPUT_SOIL = 32859;
constexpr int ID_INPUT_NONLINEAR_SPRING = 32921;
constexpr int ID_ELEMENT_LINEAR4 = 32805;
constexpr int ID_ELEMENT_QUAD8 = 32806;
constexpr int ID_ELEMENT_LAGRANGE9 = 32807;
constexpr int ID_INPUT_CONNECTIVITY = 32799;
constexpr int ID_INTEGRATION_1 = 32813;
constexpr int ID_INTEGRATION_2 = 32814;
constexpr int ID_INTEGRATION_3 = 32815;
constexpr int ID_NODAL_CONSTRAINTS = 32800;
constexpr int ID_NODAL_LOADS = 32802;
constexpr int ID_NODAL_CONSTANT_STIFFNESS = 32919;
constexpr int ID_NODAL_NONLINEAR_SPRING = 32920;
constexpr int ID_DISTRIBUTED_LOADS = 32804;
constexpr int ID_DISTRIBUTED_STIFFNESS = 32803;
constexpr int ID_CONCENTRATED_LOADS = 32787;
constexpr int ID_CONCENTRATED_STIFFNESS = 32810;
constexpr int ID_EQUIVALENT_LOADS = 32897;
constexpr int ID_EDGE_LOADS = 32820;
constexpr int ID_EDGE_STIFFNESS = 32821;
constexpr int ID_NODE_SETS = 32842;
constexpr int ID_ELEMENT_SETS = 32843;
constexpr int ID_EDGE_SETS = 32848;
constexpr int ID_SECTION_CUT = 32877;
constexpr int ID_NODE_PATH = 32925;
// Computations.
constexpr int ID_RUN_ANALYSIS = 32790;
constexpr int ID_VIEW_INPUT_FILE = 32791;
constexpr int ID_VIEW_OUTPUT_FILE = 32792;
constexpr int ID_VIEW_MESSAGE_FILE = 32873;
constexpr int ID_READ_RESULTS = 32845;
// Transform.
constexpr int ID_PANNING = 32772;
constexpr int ID_ROTATE = 32773;
constexpr int ID_ZOOM = 32780;
constexpr int ID_ZOOM_WINDOW = 32901;
constexpr int ID_RESTART = 32771;
constexpr int ID_VIEW_TOP = 32822;
constexpr int ID_VIEW_BOTTOM = 32823;
constexpr int ID_VIEW_FRONT = 32824;
constexpr int ID_VIEW_SIDE = 32825;
constexpr int ID_VIEW_3D = 32826;
constexpr int ID_ROTATION_ANGLES = 32857;
// Results.
constexpr int ID_SELECT_STEP = 32817;
constexpr int ID_DEFORMED_MESH = 32775;
constexpr int ID_CONTOUR_PLOT = 32779;
constexpr int ID_XY_PLOT = 32893;
constexpr int ID_NODE_RESULTS = 32907;
// Options.
constexpr int ID_MARK_NODES = 32781;
constexpr int ID_NODE_NUMBERS = 32794;
constexpr int ID_FONT_COLOR = 32880;
constexpr int ID_ELEMENT_NUMBERS = 32795;
constexpr int ID_BOUNDARY_ONLY = 32776;
constexpr int ID_LOCAL_AXES = 32783;
constexpr int ID_GLOBAL_AXES = 32784;
constexpr int ID_SOLID_FACE = 32785;
constexpr int ID_SHOW_THICKNESS = 32818;
constexpr int ID_SHOW_NODAL_CONSTRAINT = 32835;
constexpr int ID_SHOW_NODAL_LOADS = 32833;
constexpr int ID_SHOW_NODAL_STIFFNESS = 32834;
constexpr int ID_SHOW_NODAL_NONLINEAR = 32924;
constexpr int ID_SHOW_CONCENTRATED_LOADS = 32836;
constexpr int ID_SHOW_EQUIVALENT_LOADS = 32899;
constexpr int ID_SHOW_CONCENTRATED_STIFFNESS = 32837;
constexpr int ID_SHOW_TOTAL_STIFFNESS = 32844;
constexpr int ID_SHOW_DISTRIBUTED_LOADS = 32838;
constexpr int ID_SHOW_DISTRIBUTED_STIFFNESS = 32839;
constexpr int ID_SHOW_EDGE_LOADS = 32840;
constexpr int ID_SHOW_EDGE_STIFFNESS = 32841;
// Selection.
constexpr int ID_SELECT_NODE = 32788;
constexpr int ID_SELECT_ELEMENT = 32786;
constexpr int ID_SELECT_EDGE = 32819;
// Help.
constexpr int ID_USERS_MANUAL = 32903;
constexpr int ID_TECHNICAL_MANUAL = 32904;

// The result commands: enabled exactly while the document has results.
inline constexpr int kResultCommands[] = {ID_SELECT_STEP, ID_DEFORMED_MESH, ID_CONTOUR_PLOT, ID_XY_PLOT,
                                          ID_NODE_RESULTS};

// Puts every command's menu text and status text into the layer's table.
void RegisterCommands();
// The menu bar: File, Edit, Input Data, Computations, Transform, Results,
// Options, Selection, View, Help.
ui::MenuItem BuildMenuBar();
// The five toolbars in row order (file, view, select, actions, results),
// each with its own 32 x 32 pictures.
std::vector<ui::ToolBar> BuildToolBars();

}  // namespace korbel
