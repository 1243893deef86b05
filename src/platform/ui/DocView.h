// Document and view: one document at a time with its path, modified flag
// and save flow; the view that shows it receives paint, mouse and key input.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Commands.h"
#include "platform/ui/Types.h"
#include "platform/ui/Window.h"

namespace ui {

class App;
class Document;
class View;

// What the program's one document type is: its names, file filter and the
// factories of document and view.
struct DocumentType {
    std::string windowTitle;  // first field of the type string
    std::string docName;      // base of the titles of new documents ("Brnx" gives "Brnx1")
    std::string newName;
    std::string filterName;  // "Brennix Files (*.slb)"
    std::string extension;   // ".slb"
    std::string fileTypeId;
    std::string fileTypeName;
    std::function<std::unique_ptr<Document>()> createDocument;
    std::function<std::unique_ptr<View>()> createView;

    // From "title\ndocName\nnewName\nfilter name\n.ext\ntype id\ntype name".
    static DocumentType Parse(const std::string& typeString);
    // "filter name|*.ext|" as file dialogs take it.
    std::string Filter() const;
};

class Document : public CommandTarget {
public:
    Document();
    ~Document() override;

    virtual bool OnNewDocument();
    // Base: the file must be readable ("Cannot open file" message otherwise).
    virtual bool OnOpenDocument(const std::string& path);
    // Base: the file must be writable; nothing of its own is written.
    virtual bool OnSaveDocument(const std::string& path);
    // Base: destroys the views; the application deletes the document later.
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}

    const std::string& GetPathName() const { return path_; }
    // Sets the path and the title from its file name; adds it to the recent
    // files when asked.
    void SetPathName(const std::string& path, bool addToRecent = true);
    const std::string& GetTitle() const { return title_; }
    void SetTitle(const std::string& title);
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }

    // Save under path, or ask for a name first (Save As) when path is empty.
    // replace: the document takes the new path. False when cancelled or failed.
    bool DoSave(const std::string& path, bool replace = true);
    // Save: Save As when the document has no path yet.
    bool DoFileSave();
    // The save-or-discard question for a modified document: Yes saves, No
    // discards, Cancel returns false.
    virtual bool SaveModified();

    void AddView(View* v);
    void RemoveView(View* v);
    const std::vector<View*>& Views() const { return views_; }
    // Tells every view but the sender (OnUpdate) and invalidates it.
    void UpdateAllViews(View* sender, long hint = 0);

    App* GetApp() const;
    const DocumentType* Type() const;
    bool IsClosed() const { return closed_; }

private:
    std::string path_;
    std::string title_;
    bool modified_ = false;
    bool closed_ = false;
    std::vector<View*> views_;
};

enum class MouseButton { Left, Right, Middle };

class View : public Window, public CommandTarget {
public:
    View();
    ~View() override;

    Document* GetDocument() const { return doc_; }
    void SetDocument(Document* doc);

    virtual void OnInitialUpdate();
    virtual void OnUpdate(View* sender, long hint);

    virtual void OnLButtonDown(int flags, Point p) { (void)flags, (void)p; }
    virtual void OnLButtonUp(int flags, Point p) { (void)flags, (void)p; }
    virtual void OnLButtonDblClk(int flags, Point p) { (void)flags, (void)p; }
    virtual void OnRButtonDown(int flags, Point p) { (void)flags, (void)p; }
    virtual void OnRButtonUp(int flags, Point p) { (void)flags, (void)p; }
    virtual void OnRButtonDblClk(int flags, Point p) { (void)flags, (void)p; }
    virtual void OnMouseMove(int flags, Point p) { (void)flags, (void)p; }
    virtual bool OnMouseWheel(int flags, int delta, Point p) {
        (void)flags, (void)delta, (void)p;
        return false;
    }

    // The view receives mouse input outside its area while captured.
    void SetCapture() { captured_ = true; }
    void ReleaseCapture() { captured_ = false; }
    bool HasCapture() const { return captured_; }

    // User actions. A double click comes as down, up, double-click, up.
    void UserMouseDown(MouseButton b, int x, int y, int modifiers = 0);
    void UserMouseUp(MouseButton b, int x, int y, int modifiers = 0);
    void UserDoubleClick(MouseButton b, int x, int y, int modifiers = 0);
    void UserMouseMove(int x, int y, int modifiers = 0);
    void UserWheel(int delta, int x, int y, int modifiers = 0);
    void UserKeyDown(int key, int repeat = 1);
    void UserKeyUp(int key);
    void UserResize(int w, int h);

private:
    int ButtonFlags(int modifiers) const;
    // Records the button as pressed or released, then runs the left or the
    // right button's handler with the flags after the change.
    void ButtonEvent(MouseButton b, bool down, Point p, int modifiers, void (View::*onLeft)(int, Point),
                     void (View::*onRight)(int, Point));
    Document* doc_ = nullptr;
    bool captured_ = false;
    bool left_ = false;
    bool right_ = false;
    bool middle_ = false;
};

}  // namespace ui
