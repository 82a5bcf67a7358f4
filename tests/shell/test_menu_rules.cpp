#include <gtest/gtest.h>

#include "shell/MenuRules.h"

using namespace palvo;

TEST(MenuRules, PopupPositionIsUnderTheLabel) {
    struct Case {
        QPoint bar;
        int height, labelLeft;
        QPoint expected;
    };
    const Case cases[] = {
        {{0, 0}, 47, 0, {6, 32}},
        {{100, 200}, 47, 57, {163, 232}},
        {{-1280, 30}, 47, 300, {-974, 62}},
        {{10, 10}, 10, 5, {21, 5}}, // a bar lower than 15 pixels
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuPopupPosition(c.bar, c.height, c.labelLeft), c.expected) << c.labelLeft;
}

TEST(MenuRules, CaptionsMarkTheirAccelerator) {
    const std::pair<QString, QString> cases[] = {
        {"&File", "<u>F</u>ile"},
        {" Creative &Tools  ", "&nbsp;Creative&nbsp;<u>T</u>ools&nbsp;&nbsp;"},
        {"Palvo.&com", "Palvo.<u>c</u>om"},
        {"Palvo", "Palvo"},
        {"A&&B <i>", "A&amp;B&nbsp;&lt;i&gt;"},
        {"&a&b", "<u>a</u>b"}, // only the first mark counts
        {"end&", "end&amp;"},
    };
    for (const auto& [caption, markup] : cases)
        EXPECT_EQ(AcceleratorMarkup(caption), markup) << caption.toStdString();
}

TEST(MenuRules, SiteNameComesFromTheGeneralAddress) {
    const std::pair<QString, QString> cases[] = {
        {"", "Palvo.com"},
        {"   ", "Palvo.com"},
        {"www.palvo.com", "Palvo.com"},
        {"HTTPS://Shop.Example.org/path?x=1", "Shop.example.org"},
        {"http://www.palvo.net:8080/", "Palvo.net"},
        {"http://", "Palvo.com"},
        {"http://[::1]/", "Palvo.com"},
        {"http://127.0.0.1:8731/", "Palvo.com"},
        {"http://localhost/", "Palvo.com"},
    };
    for (const auto& [address, name] : cases)
        EXPECT_EQ(SiteName(address), name) << address.toStdString();
    EXPECT_EQ(SiteMenuCaption("Palvo.com"), "Palvo.&com");
    EXPECT_EQ(SiteMenuCaption("Palvo"), "Palvo");
    EXPECT_EQ(SiteMenuCaption("A&B.Com"), "A&&B.&Com");
}

TEST(MenuRules, FileMenu) {
    struct Case {
        FileMenuInputs in;
        bool save, saveAs;
    };
    const Case cases[] = {
        {{false, false, false, false}, false, false},
        {{true, false, false, true}, false, true},
        {{true, true, true, true}, false, false}, // loading
        {{true, false, true, true}, true, true},
        {{true, false, true, false}, false, true}, // may not save over
        {{false, false, true, true}, false, false},
    };
    for (const Case& c : cases) {
        const FileMenuEnabling out = FileMenuRules(c.in);
        EXPECT_EQ(out.save, c.save) << c.in.pictureCurrent << c.in.loading << c.in.changed;
        EXPECT_EQ(out.saveAs, c.saveAs) << c.in.pictureCurrent << c.in.loading;
    }
}

TEST(MenuRules, UndoAndRedoCaptionsFollowTheHistory) {
    struct Case {
        UndoState undo;
        QString undoCaption, redoCaption;
        bool undoEnabled, redoEnabled;
    };
    const Case cases[] = {
        {{0, "", 0, "", false}, "Undo", "Redo", false, false},
        {{2, "Crop", 0, "", false}, "Undo Crop", "Redo", true, false},
        {{1, "Quick Fix", 1, "Red Eye Removal", false},
         "Undo Quick Fix",
         "Redo Red Eye Removal",
         true,
         true},
        {{0, "", 0, "", true}, "Undo Rotate", "Redo", true, false},
        {{3, "Add Text", 2, "Crop", true}, "Undo Rotate", "Redo Crop", true, false},
    };
    for (const Case& c : cases) {
        EditMenuInputs in;
        in.undo = c.undo;
        const EditMenuEnabling out = EditMenuRules(in);
        EXPECT_EQ(out.undoCaption, c.undoCaption);
        EXPECT_EQ(out.redoCaption, c.redoCaption);
        EXPECT_EQ(out.undo, c.undoEnabled) << c.undoCaption.toStdString();
        EXPECT_EQ(out.redo, c.redoEnabled) << c.redoCaption.toStdString();
    }
}

TEST(MenuRules, EditMenuItems) {
    struct Case {
        bool shown, loading;
        int grid, upload;
        bool copy, selectAll, selectNone;
    };
    const Case cases[] = {
        {false, false, 0, 0, false, false, false},
        {true, false, 5, 0, true, true, false},
        {true, true, 5, 2, false, true, true},
        {false, false, 0, 1, false, false, true}, // empty upload view, list elsewhere
    };
    for (const Case& c : cases) {
        EditMenuInputs in;
        in.pictureShown = c.shown;
        in.loading = c.loading;
        in.gridItems = c.grid;
        in.uploadEntries = c.upload;
        const EditMenuEnabling out = EditMenuRules(in);
        EXPECT_EQ(out.copy, c.copy);
        EXPECT_EQ(out.selectAll, c.selectAll);
        EXPECT_EQ(out.selectNone, c.selectNone);
    }
}

TEST(MenuRules, PictureMenuRunsItsRulesInOrder) {
    // Buttons: L(eft) R(ight) F(ree crop) Q(uick Fix) E (red-eye) Z(oom in);
    // picture current, view empty, loading.
    struct Case {
        const char* name;
        PictureMenuInputs in;
        PictureMenuEnabling out; // zoom rotate left right crop quickFix redEye
    };
    const Case cases[] = {
        {"nothing shown",
         {true, true, true, true, true, true, false, true, false},
         {false, false, false, false, false, false, false}},
        {"all tools",
         {true, true, true, true, true, true, true, false, false},
         {true, true, true, true, true, true, true}},
        {"loading",
         {true, true, true, true, true, true, true, false, true},
         {true, false, false, false, false, false, false}},
        // Rotate is decided from the rotate buttons, then Left and Right take
        // the state of Crop.
        {"rotate without crop",
         {true, true, false, true, true, true, true, false, false},
         {true, true, false, false, false, true, true}},
        {"crop without rotate",
         {false, false, true, false, false, false, true, false, false},
         {false, false, true, true, true, false, false}},
        {"picture in view but none current",
         {true, true, true, true, true, true, false, false, false},
         {true, false, false, false, false, false, false}},
        {"zoom button off",
         {true, true, true, true, true, false, true, false, false},
         {false, true, true, true, true, true, true}},
    };
    for (const Case& c : cases) {
        const PictureMenuEnabling out = PictureMenuRules(c.in);
        EXPECT_EQ(out.zoom, c.out.zoom) << c.name;
        EXPECT_EQ(out.rotate, c.out.rotate) << c.name;
        EXPECT_EQ(out.left, c.out.left) << c.name;
        EXPECT_EQ(out.right, c.out.right) << c.name;
        EXPECT_EQ(out.crop, c.out.crop) << c.name;
        EXPECT_EQ(out.quickFix, c.out.quickFix) << c.name;
        EXPECT_EQ(out.redEye, c.out.redEye) << c.name;
    }
}
