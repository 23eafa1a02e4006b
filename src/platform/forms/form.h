#pragma once
// Forms with the original lifecycle: a form is loaded on first use (its
// controls in their design state, then Form_Load), shown modeless or modal
// with an owner, and unloaded (Form_QueryUnload, Form_Unload, then gone; the
// next use loads a fresh one). A modal Show runs a nested event loop that ends
// when the form is hidden or unloaded. An unloaded form is destroyed only once
// no handler runs any more (see handlers.h).
//
// A form class derives from FormBase<itself> and is reached through Get().
#include "platform/forms/control.h"
#include "platform/forms/font.h"
#include "platform/forms/picture.h"
#include "platform/forms/property.h"

#include <QColor>
#include <QWidget>
#include <vector>

class QEventLoop;

namespace vb {

enum FormShowConstants { vbModeless = 0, vbModal = 1 };
enum StartUpPositionConstants { vbStartUpManual = 0, vbStartUpOwner = 1, vbStartUpScreen = 2 };
enum QueryUnloadConstants { vbFormControlMenu = 0, vbFormCode = 1 };
enum FormWindowStateConstants { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
// The frame: none, a fixed dialog frame with a close box, or a tool window's.
enum FormBorderStyleConstants { vbBSNone = 0, vbFixedDialog = 3, vbFixedToolWindow = 4 };

class Form : public QWidget {
    Q_OBJECT

public:
    ~Form() override;

    Property<QString> Caption;
    // The window with its frame, in twips.
    Property<int> Left;
    Property<int> Top;
    Property<int> Width;
    Property<int> Height;
    // The client area, in twips.
    Property<int> ScaleWidth;
    Property<int> ScaleHeight;
    Property<int> WindowState;
    Property<QColor> BackColor;
    Property<vb::Picture> Picture;
    Property<bool> Visible;

    int StartUpPosition = vbStartUpManual;

    void SetFont(const Font& font);
    void SetMousePointer(MousePointer pointer);
    // Sets the frame; call before the form is first shown.
    void SetBorderStyle(int style);

    void Show(int modal = vbModeless, Form* owner = nullptr);
    void Hide();
    void Unload(int mode = vbFormCode);
    bool IsLoaded() const { return loaded_; }
    bool IsModal() const { return !loops_.empty(); }

    // Handlers of the form itself.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {}
    virtual void Form_Unload(int& /*Cancel*/) {}
    virtual void Form_Click() {}
    virtual void Form_MouseDown(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}
    virtual void Form_MouseUp(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}
    virtual void Form_MouseMove(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {}

    // Raise the form's mouse events as the toolkit does (tests act as the player with them).
    void RaiseMouseMove(int button = 0, int shift = 0, float x = 0, float y = 0);

    void setVisible(bool visible) override;

protected:
    Form();
    // Runs Form_Load; called once by FormBase::Get.
    void load();
    // Drops the class's loaded instance when this one unloads.
    virtual void forget() = 0;

    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void placeOnFirstShow(Form* owner);
    void showTitle();
    void endModalLoops();
    QSize frameExtra() const;

    QString caption_;
    bool loaded_ = false;
    bool unloading_ = false;
    bool placed_ = false;
    int pressedButton_ = 0;
    QColor backColor_ = QColor(0xF0, 0xF0, 0xF0);
    vb::Picture picture_;
    std::vector<QEventLoop*> loops_;
};

template <class F>
class FormBase : public Form {
public:
    // The loaded form, loading it on first use.
    static F& Get()
    {
        if (!instance_) {
            instance_ = new F();
            instance_->load();
        }
        return *instance_;
    }
    static bool Loaded() { return instance_ != nullptr; }
    static F* IfLoaded() { return instance_; }
    // Unloads the form if it is loaded; a form not loaded stays so.
    static void UnloadIfLoaded()
    {
        if (instance_)
            instance_->Unload();
    }

    ~FormBase() override
    {
        if (instance_ == this)
            instance_ = nullptr;
    }

protected:
    void forget() override
    {
        if (instance_ == this)
            instance_ = nullptr;
    }

private:
    static inline F* instance_ = nullptr;
};

// The visible form most recently shown (a modal one first), or none.
Form* ForemostForm();

// Restores every minimised form that is shown and brings the foremost one to the front.
void ActivateForemostForm();

} // namespace vb
