// Reference ellipsoids: code, name, semi-major axis (metres) and the
// flattening f itself (not 1/f), with the decimal digits that the library
// has always stored. 7024 and 40023 hold the doubles nearest 1/298.3 and
// 1/298.257. 7042 repeats 7015 under its own code.
#include "model/catalogue/GeodeticCatalogue_p.h"

static constexpr ZrSpheroidRow kSpheroidRows[] = {
    {7001, "Airy_1830", 6377563.396, 0.003340851},
    {7002, "Airy_Modified", 6377340.189, 0.003340851},
    {7003, "Australian", 6378160.0, 0.003352892},
    {7004, "Bessel_1841", 6377397.155, 0.003342773},
    {7005, "Bessel_Modified", 6377492.018, 0.003342773},
    {7006, "Bessel_Namibia", 6377483.865, 0.003342773},
    {7007, "Clarke_1858", 6378293.639, 0.003398347},
    {7008, "Clarke_1866", 6378206.4, 0.003390075},
    {7009, "Clarke_1866_Michigan", 6378693.704, 0.003390075},
    {7010, "Clarke_1880_Benoit", 6378300.79, 0.003407547},
    {7011, "Clarke_1880_IGN", 6378249.2, 0.00340755},
    {7012, "Clarke_1880_RGS", 6378249.145, 0.003407561},
    {7013, "Clarke_1880_Arc", 6378249.145, 0.003407546},
    {7014, "Clarke_1880_SGA", 6378249.2, 0.00340755},
    {7015, "Everest_Adjustment_1937", 6377276.345, 0.003324449},
    {7016, "Everest_Definition_1967", 6377298.556, 0.003324449},
    {7017, "Everest_Definition_1975", 6377301.243, 0.003324449},
    {7018, "Everest_Modified", 6377304.063, 0.003324449},
    {7019, "GRS_1980", 6378137.0, 0.0033528107},
    {7020, "Helmert_1906", 6378200.0, 0.00335233},
    {7021, "Indonesian", 6378160.0, 0.003352926},
    {7022, "International_1924", 6378388.0, 0.003367003},
    {7023, "International_1967", 6378160.0, 0.003352892},
    {7024, "Krasovsky_1940", 6378245.0, 0.003352329869259135},
    {7025, "NWL_9D", 6378145.0, 0.003352892},
    {7026, "NWL_10D", 6378135.0, 0.003352779},
    {7027, "Plessis_1817", 6376523.0, 0.003240021},
    {7028, "Struve_1860", 6378298.3, 0.003392936},
    {7029, "War_Office", 6378300.583, 0.003378378},
    {7030, "WGS_1984", 6378137.0, 0.0033528107},
    {7031, "GEM_10C", 6378137.0, 0.003352811},
    {7032, "OSU_86F", 6378136.2, 0.003352811},
    {7033, "OSU_91A", 6378136.3, 0.003352811},
    {7034, "Clarke_1880", 6378249.138, 0.003407546},
    {7035, "Sphere", 6371000.0, 0.0},
    {7036, "GRS_1967", 6378160.0, 0.003352924},
    {7041, "ATS_1977", 6378135.0, 0.003352813},
    {7042, "Everest_Adjustment_1937", 6377276.345, 0.003324449},
    {7043, "WGS_1972", 6378135.0, 0.003352779},
    {40001, "WGS_1966", 6378145.0, 0.003352892},
    {40002, "Fischer_1960", 6378166.0, 0.00335233},
    {40003, "Fischer_1968", 6378150.0, 0.00335233},
    {40004, "Fischer_Modified", 6378155.0, 0.00335233},
    {40005, "Hough_1960", 6378270.0, 0.003367003},
    {40006, "Everest_Modified_1969", 6377295.664, 0.003324449},
    {40007, "Walbeck", 6376896.0, 0.003302728},
    {40008, "Sphere_ARC_INFO", 6370997.0, 0.0},
    {40023, "International_1975", 6378140.0, 0.0033528131778969143},
};

static_assert(ZrRowsAscending(kSpheroidRows), "the lookup searches the rows by code");

const ZrSpheroidRow* ZrFindSpheroidRow(long code) {
    return ZrFindRowByCode(kSpheroidRows, code);
}
int ZrSpheroidRowCount() {
    return ZrRowCount(kSpheroidRows);
}
const ZrSpheroidRow* ZrSpheroidRowAt(int index) {
    return ZrRowAt(kSpheroidRows, index);
}
