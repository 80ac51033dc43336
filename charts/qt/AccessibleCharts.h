// How the charts and the status table meet screen readers: each chart image
// is a chart named after its column whose description tells its latest
// values; the status table is a table of one row per resource with the
// header texts as column headers and every cell's text.
#pragma once

namespace tw {

// Makes the chart images and the status table known to the accessibility
// framework; called by their constructors, it does its work once.
void InstallChartAccessibility();

}  // namespace tw
