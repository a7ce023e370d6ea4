#pragma once

// The one public header: every exported class of the library.
#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"
#include "platform/ZrToolkit.h"
#include "platform/ZrMarkup.h"
#include "platform/ZrArchive.h"
#include "platform/ZrCodePage.h"
#include "platform/ZrFile.h"

#include "geodesy/ZrPJMath.h"
#include "geodesy/ZrGeodesic.h"

#include "projection/ZrPJOperator.h"

#include "model/ZrPJTypes.h"
#include "model/ZrPJSpheroid.h"
#include "model/ZrPJPrimeMeridian.h"
#include "model/ZrPJDatum.h"
#include "model/ZrPJGeoCoordSys.h"
#include "model/ZrPJObject.h"
#include "model/ZrPJParams.h"
#include "model/ZrPJCoordSys.h"
#include "model/ZrPJGeodesic.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "dialog/resources/ZrStringTable.h"

#include "transform/ZrDatumShift.h"
#include "transform/ZrPJTranslator.h"

#include "persistence/ZrPrjFiles.h"
#include "persistence/ZrProjectionDef.h"

#include "interop/ZrInterop.h"
#include "interop/ZrSearch.h"

#include "platform/ui/ZrUi.h"

#include "dialog/ZrUserLanguage.h"
#include "dialog/ZrSheetCoordSysSetting.h"
