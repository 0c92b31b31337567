// The chart types as framework controls.
#include "TEVQBarChart.h"
#include "TEVQChartBase.h"
#include "TEVQControlRegistry.h"
#include "TEVQLineChart.h"

namespace TEVQtLib {

void registerChartControls()
{
    tevRegisterQtControl(TEVQBarChart::typeName(), &TEVQBarChart::createTEVQBarChart, TEVQBarChart::getProps(), true);
    tevRegisterQtControl(TEVQLineChart::typeName(), &TEVQLineChart::createTEVQLineChart, TEVQLineChart::getProps(),
                         true);
}

} // namespace TEVQtLib
