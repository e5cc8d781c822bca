/* The entry table of the GIS module (src/formats/gis, liblumaq_gis.so), which
 * the core loads only when a GIS format or the list of reference systems is
 * first used (GisModule.h), so that the other formats never pay for loading
 * GDAL, PROJ and libxml2. Plain C types cross the boundary, nothing else: the
 * module and the core may be built by different compilers and standard
 * libraries, and a C++ exception must never leave the module.
 *
 * Texts are bytes with their length. Point names and codes are bytes of the
 * code page (GB2312/GB18030) both ways; messages and reference system names
 * are UTF-8. Every entry returns a LumaqGisResult; on anything but
 * kLumaqGisDone it has handed its message to the message sink. */
#ifndef LUMAQ_FORMATS_GIS_ENTRIES_H
#define LUMAQ_FORMATS_GIS_ENTRIES_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Raised whenever the table or a structure below changes. */
#define LUMAQ_GIS_ENTRIES_VERSION 1

/* The symbol the loader looks up: const LumaqGisEntries* (void). */
#define LUMAQ_GIS_ENTRIES_SYMBOL "lumaq_gis_entries"

typedef enum LumaqGisResult {
  kLumaqGisDone = 0,
  kLumaqGisRejected = 1, /* the input is refused: code, point, layer, file */
  kLumaqGisFailed = 2    /* the work failed: a library or the memory */
} LumaqGisResult;

typedef struct LumaqGisText {
  const char* bytes;
  size_t size;
} LumaqGisText;

/* One record. The texts are the record's own; the numbers are those texts
 * read (north and east always, height when hasHeight). */
typedef struct LumaqGisPoint {
  LumaqGisText name;
  LumaqGisText code;
  LumaqGisText north;
  LumaqGisText east;
  LumaqGisText height;
  double n;
  double e;
  double z;
  int hasHeight;
} LumaqGisPoint;

typedef void (*LumaqGisMessageSink)(void* context, LumaqGisText message);
/* One file of an export: suffix is added to the output's stem (empty for a
 * format of one file, which is written to the output name as it is). */
typedef void (*LumaqGisFileSink)(void* context, LumaqGisText suffix, LumaqGisText bytes);
typedef void (*LumaqGisPointSink)(void* context, const LumaqGisPoint* point);
/* One reference system: "EPSG:4547" and its name. */
typedef void (*LumaqGisCrsSink)(void* context, LumaqGisText code, LumaqGisText name);

typedef struct LumaqGisExport {
  const char* format; /* gpkg, shp, geojson, kml, landxml */
  const char* crs;    /* the job's, "EPSG:4547" */
  const char* layer;  /* the layer's name, UTF-8 */
  const LumaqGisPoint* points;
  size_t count;
} LumaqGisExport;

typedef struct LumaqGisImport {
  const char* format; /* gpkg, shp, geojson, kml */
  const char* path;
  const char* crs;   /* the job's: points are handed over in it */
  const char* layer; /* NULL or empty: the first point layer */
  size_t maxPoints;  /* points handed over at most: the first maxPoints - 1 and the last */
} LumaqGisImport;

typedef struct LumaqGisEntries {
  int version; /* LUMAQ_GIS_ENTRIES_VERSION */
  LumaqGisResult (*exportPoints)(const LumaqGisExport* request, LumaqGisFileSink files,
                                 void* filesContext, LumaqGisMessageSink message,
                                 void* messageContext);
  /* Hands over the points kept; *pointCount is the layer's count of points. */
  LumaqGisResult (*importPoints)(const LumaqGisImport* request, LumaqGisPointSink points,
                                 void* pointsContext, size_t* pointCount,
                                 LumaqGisMessageSink message, void* messageContext);
  /* The projected systems of PROJ's EPSG database, deprecated ones left out. */
  LumaqGisResult (*listProjectedCrs)(LumaqGisCrsSink systems, void* systemsContext,
                                     LumaqGisMessageSink message, void* messageContext);
  /* One projected system by its code ("EPSG:4547", "epsg:4547", "4547"). */
  LumaqGisResult (*describeCrs)(const char* code, LumaqGisCrsSink system, void* systemContext,
                                LumaqGisMessageSink message, void* messageContext);
} LumaqGisEntries;

typedef const LumaqGisEntries* (*LumaqGisEntriesFunction)(void);

#ifdef __cplusplus
}
#endif

#endif
