// Drawing a page and the text panel with cairo. The plan says where things
// go; preview.cpp makes the plan and the surfaces.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "preview.h"
#include "streamModel.h"
#include "vectorOutput.h"

namespace tavix::preview {

struct RenderPlan {
    PageGeometry geometry;
    int pictureWidth = 0, pictureHeight = 0;  // the paper and its margin
    int width = 0, height = 0;                // the whole canvas
    int panelX = 0, panelWidth = 0;
    double fontSize = 12, lineHeight = 16;
    std::vector<std::string> panel;
};

// The gray ground, the white paper and every operation of the page in
// order, clipped to the paper. page may be null (nothing drawn). With
// `vectors` everything goes there and cr is not drawn on (it may be null).
void drawPage(cairo_t* cr, const Page* page, const RenderPlan& plan, const PreviewOptions& options,
              VectorOutput* vectors = nullptr);
// Returns the number of characters no installed font could show.
int drawPanel(cairo_t* cr, const RenderPlan& plan);

}  // namespace tavix::preview
