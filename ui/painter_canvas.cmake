# The plot's drawing operations on a QPainter, and the plot as a PNG or SVG image: shared
# by the plot window, the command line's image export and the benchmarks.
find_package(Qt6 REQUIRED COMPONENTS Gui Svg)

add_library(corvane_painter_canvas STATIC
    ${CMAKE_CURRENT_LIST_DIR}/painter_canvas.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot_image.cpp
)
target_include_directories(corvane_painter_canvas PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(corvane_painter_canvas PUBLIC corvane_plot Qt6::Gui PRIVATE Qt6::Svg)
