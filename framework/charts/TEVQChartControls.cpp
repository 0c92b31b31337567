// The chart types as framework controls. The sweep trace widgets are made in code and not listed.
#include "TEVQBarChart.h"
#include "TEVQChartBase.h"
#include "TEVQControlRegistry.h"
#include "TEVQFinancialChart.h"
#include "TEVQLineChart.h"
#include "TEVQOpenGLPieChart.h"
#include "TEVQScatterChart.h"

namespace TEVQtLib {

void registerChartControls()
{
    tevRegisterQtControl(TEVQBarChart::typeName(), &TEVQBarChart::createTEVQBarChart, TEVQBarChart::getProps(), true);
    tevRegisterQtControl(TEVQLineChart::typeName(), &TEVQLineChart::createTEVQLineChart, TEVQLineChart::getProps(),
                         true);
    tevRegisterQtControl(TEVQOpenGLPieChart::typeName(), &TEVQOpenGLPieChart::createTEVQOpenGLPieChart,
                         TEVQOpenGLPieChart::getProps(), true);
    tevRegisterQtControl(TEVQScatterChart::typeName(), &TEVQScatterChart::createTEVQScatterChart,
                         TEVQScatterChart::getProps(), true);
    tevRegisterQtControl(TEVQFinancialChart::typeName(), &TEVQFinancialChart::createTEVQFinancialChart,
                         TEVQFinancialChart::getProps(), true);
}

} // namespace TEVQtLib
