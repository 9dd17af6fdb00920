// Renders chart options with ECharts' server-side SVG renderer and checks
// that every series asked for was drawn with all its marks. ECharts accepts
// bad options silently, so the check counts what it drew.
//
//   node render_check.js [--map CN=china.json] option.json ...
'use strict';

const fs = require('fs');
const path = require('path');
const echarts = require(path.join(__dirname, '..', '..', 'node_modules', 'echarts'));

const files = [];
const args = process.argv.slice(2);
for (let i = 0; i < args.length; ++i) {
    if (args[i] === '--map') {
        const [key, file] = args[++i].split('=');
        echarts.registerMap(key, JSON.parse(fs.readFileSync(file, 'utf8')));
    } else {
        files.push(args[i]);
    }
}
if (files.length === 0)
    throw new Error('usage: node render_check.js [--map KEY=FILE] OPTION.json ...');

// The chart view supplies these functions; here any function will do.
function resolveMethods(value) {
    if (typeof value === 'string' && /^method=\w+$/.test(value))
        return function () { return ''; };
    if (Array.isArray(value))
        return value.map(resolveMethods);
    if (value && typeof value === 'object') {
        const out = {};
        for (const key of Object.keys(value))
            out[key] = key === 'dataset' ? value[key] : resolveMethods(value[key]);
        return out;
    }
    return value;
}

function isNumber(v) {
    return typeof v === 'number' && isFinite(v);
}

// The marks the i-th series of the option asks for: the rows of its dataset
// that hold a number in the column it draws (without an encoding, the i-th
// column after the categories, whatever the series is named).
function expectedMarks(option, series, i) {
    const datasets = [].concat(option.dataset || []);
    const dataset = datasets[series.datasetIndex || 0];
    if (!dataset)
        return 0;
    const encode = series.encode || {};
    let column = encode.value || encode.y || (dataset.dimensions || [])[i + 1];
    if (series.type === 'bar' && encode.x && encode.y === 'header')
        column = encode.x;
    if (series.type === 'map')
        column = 'value';
    return (dataset.source || []).filter((row) => isNumber(row[column])).length;
}

let failures = 0;
for (const file of files) {
    const name = path.basename(file);
    let chart;
    try {
        const option = JSON.parse(fs.readFileSync(file, 'utf8'));
        chart = echarts.init(null, null, { renderer: 'svg', ssr: true, width: 800, height: 500 });
        chart.setOption(resolveMethods(option));
        const svg = chart.renderToSVGString();
        const problems = [];
        const wanted = option.series || [];
        const models = chart.getModel().getSeries();
        if (models.length !== wanted.length)
            problems.push(`${models.length} series drawn, ${wanted.length} asked for`);
        models.forEach((model, i) => {
            const series = wanted[i] || {};
            const data = model.getData();
            const view = chart.getViewOfSeriesModel(model);
            const expected = expectedMarks(option, series, i);
            let drawn = 0;
            if (series.type === 'line') {
                // One polyline through every point that has a value.
                const line = view && view._polyline;
                drawn = line && line.shape && line.shape.points ? line.shape.points.length / 2 : 0;
                const valid = [];
                for (let k = 0; k < data.count(); ++k)
                    if (isNumber(data.get(data.mapDimension('y'), k)))
                        valid.push(k);
                drawn = Math.min(drawn, valid.length);
            } else if (series.type === 'map') {
                const regions = (svg.match(/<path /g) || []).length;
                for (let k = 0; k < data.count(); ++k)
                    if (isNumber(data.get('value', k)))
                        ++drawn;
                if (regions < 34)
                    problems.push(`map ${series.map} drew ${regions} areas`);
            } else {
                for (let k = 0; k < data.count(); ++k)
                    if (data.getItemGraphicEl(k))
                        ++drawn;
            }
            if (drawn < expected)
                problems.push(`series ${i} (${series.type} ${series.name || ''}) drew ${drawn} of ${expected} marks`);
            if (expected === 0 && series.type !== 'map')
                problems.push(`series ${i} (${series.type}) has nothing to draw`);
        });
        failures += problems.length ? 1 : 0;
        console.log(problems.length ? `FAIL ${name}: ${problems.join('; ')}` : `ok   ${name}: ${models.length} series, ${svg.length} bytes of SVG`);
    } catch (e) {
        ++failures;
        console.log(`FAIL ${name}: ${e && e.stack ? e.stack : e}`);
    } finally {
        if (chart)
            chart.dispose();
    }
}
console.log(`${files.length - failures} of ${files.length} options rendered`);
process.exit(failures ? 1 : 0);
