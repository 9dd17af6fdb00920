// The page of the chart view. The view hands over options with zhpChart.show()
// and maps with zhpChart.registerMap(). A string "method=<name>" anywhere in an
// option (outside the dataset) stands for the function zhpChart.functions[name].
(function () {
  'use strict';

  var METHOD = /^method=([A-Za-z_$][\w$]*)$/;
  var POPUP_ICON = 'path://M3,7V21H17V14M10,14L21,3M14,3H21V10';
  var AUTO_SERIES_NAME = 'series\u0000';

  var chart = null;
  var shown = null;
  var standalone = false;
  var host = null;
  var functions = {};

  if (typeof qt !== 'undefined' && qt.webChannelTransport && typeof QWebChannel !== 'undefined') {
    new QWebChannel(qt.webChannelTransport, function (channel) { host = channel.objects.host; });
  }

  function instance() {
    if (!chart)
      chart = echarts.init(document.getElementById('chart'), null, { renderer: 'canvas' });
    return chart;
  }

  window.addEventListener('resize', function () { if (chart) chart.resize(); });

  // ---- Values and text

  function escapeHtml(text) {
    return String(text === undefined || text === null ? '' : text)
      .replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
  }

  function isBlank(v) {
    return v === null || v === undefined || v === '' || v === '-' || (typeof v === 'number' && !isFinite(v));
  }

  // Plain text: grouped thousands, at most four decimals, "-" for no value.
  function formatNumber(v) {
    if (isBlank(v))
      return '-';
    var n = Number(v);
    if (!isFinite(n))
      return String(v);
    return n.toLocaleString('zh-CN', { maximumFractionDigits: 4 });
  }

  function first(x) { return Array.isArray(x) ? x[0] : x; }

  // The dimension that a tooltip entry shows as its value: the first encoded
  // dimension that is not the category "header".
  function valueDimension(p) {
    var encode = p.encode || {};
    var names = p.dimensionNames && p.dimensionNames.length ? p.dimensionNames : seriesDimensions(p.seriesIndex);
    var keys = ['value', 'y', 'x', 'radius', 'angle'];
    for (var i = 0; i < keys.length; ++i) {
      var dims = encode[keys[i]];
      if (!dims || !dims.length)
        continue;
      if (names[dims[0]] === 'header')
        continue;
      return { index: dims[0], name: names[dims[0]] };
    }
    return null;
  }

  // Some series (pie) give their tooltips no dimension names: take those of
  // the dataset that the series draws.
  function seriesDimensions(seriesIndex) {
    var series = shown && shown.series;
    var s = Array.isArray(series) ? series[seriesIndex] : (seriesIndex === 0 ? series : null);
    var ds = s && shown ? datasetAt(shown, s.datasetIndex || 0) : null;
    return ds ? tableOf({ dimensions: ds.dimensions, source: (ds.source || []).slice(0, 1) }).dims : [];
  }

  function paramValue(p) {
    var v = p.value;
    if (v === null || v === undefined || typeof v !== 'object')
      return v;
    var dim = valueDimension(p);
    if (dim)
      return Array.isArray(v) ? v[dim.index] : v[dim.name];
    if (Array.isArray(v))
      return v.length > 1 ? v[1] : v[0];
    return v.value;
  }

  function seriesLabel(p) {
    var name = p.seriesName;
    return name && name.indexOf(AUTO_SERIES_NAME) !== 0 ? name : '';
  }

  function axisTitle(list) {
    var p = list[0];
    return p.axisValueLabel !== undefined ? p.axisValueLabel : p.name;
  }

  function tipTitle(text) {
    return '<div style="margin-bottom:4px">' + escapeHtml(text) + '</div>';
  }

  function tipRow(marker, label, value) {
    return '<div style="display:flex;justify-content:space-between">'
      + '<span>' + (marker || '') + escapeHtml(label) + '</span>'
      + '<b style="margin-left:20px">' + escapeHtml(value) + '</b></div>';
  }

  // ---- Tooltip formatters

  // Time series and category charts: the category, then one line per series;
  // for pie slices and map areas the item and its value (and share).
  functions.tooltipFormatter = function (params) {
    if (Array.isArray(params)) {
      if (!params.length)
        return '';
      var html = tipTitle(axisTitle(params));
      params.forEach(function (p) { html += tipRow(p.marker, seriesLabel(p), formatNumber(paramValue(p))); });
      return html;
    }
    var p = params;
    var value = formatNumber(paramValue(p));
    if (p.seriesType === 'pie')
      return tipRow(p.marker, p.name, p.percent !== undefined ? value + ' (' + p.percent + '%)' : value);
    if (p.seriesType === 'map')
      return tipRow('', p.name, value);
    var title = seriesLabel(p);
    return (title ? tipTitle(title) : '') + tipRow(p.marker, p.name, value);
  };

  // Section charts show every series at one date: the date heads the tip and
  // each bar is named by its category, the series.
  functions.sectionFormatter = function (params) {
    var list = Array.isArray(params) ? params : [params];
    if (!list.length)
      return '';
    var dim = valueDimension(list[0]);
    var html = tipTitle(dim && dim.name !== undefined ? dim.name : axisTitle(list));
    list.forEach(function (p) { html += tipRow(p.marker, p.name, formatNumber(paramValue(p))); });
    return html;
  };

  // K-line charts: the candle (one value when open, close, low and high agree)
  // and the moving averages.
  functions.klineFormatter = function (params) {
    var list = Array.isArray(params) ? params : [params];
    if (!list.length)
      return '';
    var html = tipTitle(axisTitle(list));
    list.forEach(function (p) {
      if (p.seriesType !== 'candlestick') {
        html += tipRow(p.marker, seriesLabel(p), formatNumber(paramValue(p)));
        return;
      }
      var d = Array.isArray(p.data) ? p.data : ((p.data && p.data.value) || []);
      // On a category axis the values come after the index of the category.
      if (d.length === 5)
        d = d.slice(1);
      var same = d.length === 4 && d.every(function (x) { return x === d[0]; });
      if (same || d.length < 4) {
        html += tipRow(p.marker, seriesLabel(p), formatNumber(d.length === 4 ? d[1] : paramValue(p)));
        return;
      }
      html += tipTitle(seriesLabel(p));
      ['开盘', '收盘', '最低', '最高'].forEach(function (label, i) { html += tipRow('', label, formatNumber(d[i])); });
    });
    return html;
  };

  // ---- Data views: the option's data as an HTML table

  function table(headers, rows) {
    var html = '<table><thead><tr>';
    headers.forEach(function (h) { html += '<th>' + escapeHtml(h) + '</th>'; });
    html += '</tr></thead><tbody>';
    rows.forEach(function (row) {
      html += '<tr>';
      row.forEach(function (c) { html += '<td>' + escapeHtml(c) + '</td>'; });
      html += '</tr>';
    });
    return html + '</tbody></table>';
  }

  function datasetAt(opt, index) {
    var ds = opt.dataset;
    if (!ds)
      return null;
    if (!Array.isArray(ds))
      ds = [ds];
    return ds[index || 0] || null;
  }

  // The dataset as dimension names and rows of values in dimension order,
  // whether its rows are objects keyed by dimension or arrays.
  function tableOf(ds) {
    var source = Array.isArray(ds.source) ? ds.source : [];
    var dims = (ds.dimensions || []).map(function (d) { return typeof d === 'string' ? d : (d && d.name); });
    if (!dims.length && source.length) {
      if (Array.isArray(source[0])) {
        dims = source[0].map(String);
        source = source.slice(1);
      } else {
        dims = Object.keys(source[0] || {});
      }
    }
    var rows = source.map(function (r) {
      return dims.map(function (name, i) {
        if (Array.isArray(r))
          return r[i];
        return r && typeof r === 'object' ? r[name] : undefined;
      });
    });
    return { dims: dims, rows: rows };
  }

  function dimensionIndex(dims, dim, fallback) {
    if (typeof dim === 'number')
      return dim;
    var i = dims.indexOf(dim);
    return i >= 0 ? i : fallback;
  }

  function categoryCaption(rows) {
    return rows.length && /^\d{4}-\d{2}(-\d{2})?$/.test(String(rows[0][0])) ? '日期' : '名称';
  }

  // Name and value of every item of a pie or map series.
  function seriesItems(opt, type) {
    var series = (opt.series || []).filter(function (s) { return s && s.type === type; })[0] || {};
    var ds = datasetAt(opt, series.datasetIndex || 0);
    if (ds) {
      var t = tableOf(ds);
      var encode = series.encode || {};
      var nameAt = dimensionIndex(t.dims, first(encode.itemName), 0);
      var valueAt = dimensionIndex(t.dims, first(encode.value), 1);
      return t.rows.map(function (r) { return { name: r[nameAt], value: r[valueAt] }; });
    }
    return (series.data || []).map(function (d) {
      return d && typeof d === 'object' && !Array.isArray(d) ? { name: d.name, value: d.value } : { name: '', value: d };
    });
  }

  // Line, bar, area, scatter, section and K-line charts: one row per category.
  functions.dataViewLine = function (opt) {
    var ds = datasetAt(opt, 0);
    if (ds) {
      var t = tableOf(ds);
      return table([categoryCaption(t.rows)].concat(t.dims.slice(1)), t.rows.map(function (r) {
        return [r[0]].concat(r.slice(1).map(formatNumber));
      }));
    }
    // Series that carry their own data: the categories are those of the first axis.
    var axis = (opt.xAxis || [])[0] || {};
    var categories = (axis.data || []).map(function (c) { return c && typeof c === 'object' ? c.value : c; });
    var series = opt.series || [];
    return table(['日期'].concat(series.map(function (s) { return s.name || ''; })), categories.map(function (c, i) {
      return [c].concat(series.map(function (s) {
        var d = (s.data || [])[i];
        if (Array.isArray(d))
          d = d.length === 4 ? d[1] : d[d.length - 1];
        else if (d && typeof d === 'object')
          d = d.value;
        return formatNumber(d);
      }));
    }));
  };

  // Pie charts: every slice with its value and its share of the whole.
  functions.dataViewPie = function (opt) {
    var items = seriesItems(opt, 'pie');
    var total = items.reduce(function (sum, it) {
      var n = Number(it.value);
      return isBlank(it.value) || !isFinite(n) ? sum : sum + n;
    }, 0);
    return table(['名称', '数值', '占比'], items.map(function (it) {
      var n = Number(it.value);
      var share = total && !isBlank(it.value) && isFinite(n) ? (n / total * 100).toFixed(2) + '%' : '-';
      return [it.name, formatNumber(it.value), share];
    }));
  };

  // Map charts: the areas that have a value, from the highest down. (ECharts
  // adds the other areas of the map to the data without a value.)
  functions.dataViewMap = function (opt) {
    var items = seriesItems(opt, 'map').filter(function (it) { return !isBlank(it.value); });
    items.sort(function (a, b) { return Number(b.value) - Number(a.value); });
    return table(['地区', '数值'], items.map(function (it) { return [it.name, formatNumber(it.value)]; }));
  };

  // ---- Options

  function resolve(value, path) {
    if (typeof value === 'string') {
      var m = METHOD.exec(value);
      if (!m)
        return value;
      var f = functions[m[1]];
      if (typeof f !== 'function') {
        console.error('unknown chart function "' + m[1] + '" at ' + path);
        return undefined;
      }
      return f;
    }
    if (Array.isArray(value)) {
      for (var i = 0; i < value.length; ++i)
        value[i] = resolve(value[i], path + '[' + i + ']');
      return value;
    }
    if (value && typeof value === 'object') {
      Object.keys(value).forEach(function (key) {
        if (key === 'dataset' || key === 'source')
          return;
        var resolved = resolve(value[key], path ? path + '.' + key : key);
        if (resolved === undefined)
          delete value[key];
        else
          value[key] = resolved;
      });
    }
    return value;
  }

  function popup() {
    if (host)
      host.popup();
    else
      console.error('the chart cannot open a window: no connection to the view');
  }

  function prepareToolbox(option) {
    var boxes = option.toolbox;
    if (!boxes)
      return;
    (Array.isArray(boxes) ? boxes : [boxes]).forEach(function (box) {
      var feature = box && box.feature;
      if (!feature || !('myPopup' in feature))
        return;
      if (standalone) {
        delete feature.myPopup;
        return;
      }
      var f = feature.myPopup || {};
      if (f.show === undefined)
        f.show = true;
      if (!f.title)
        f.title = '弹出窗口';
      if (!f.icon)
        f.icon = POPUP_ICON;
      f.onclick = popup;
      feature.myPopup = f;
    });
  }

  function legendSelection(c) {
    var legends = (c.getOption() || {}).legend;
    return legends && legends.length && legends[0].selected ? legends[0].selected : null;
  }

  function keepSelection(option, selected) {
    if (!selected || !option.legend)
      return;
    (Array.isArray(option.legend) ? option.legend : [option.legend]).forEach(function (legend) {
      if (legend && !legend.selected)
        legend.selected = Object.assign({}, selected);
    });
  }

  // Draws `option` in place of what is shown; with `update` the legend keeps
  // the series that the user switched off. False when ECharts refused it.
  function show(option, update) {
    var c = instance();
    var selected = update ? legendSelection(c) : null;
    resolve(option, '');
    prepareToolbox(option);
    keepSelection(option, selected);
    closeDataView();
    try {
      if (!update)
        c.clear();
      c.setOption(option, { notMerge: true });
      shown = option;
      return true;
    } catch (e) {
      console.error('the chart refused its option: ' + (e && e.message ? e.message : e));
      // A failed option leaves ECharts half updated; the next one starts afresh.
      try {
        c.dispose();
      } catch (ignored) {
      }
      chart = null;
      shown = null;
      return false;
    }
  }

  // Maps without features are registered empty, so that a missing map gives
  // an empty chart rather than a failure.
  function registerMap(key, geoJson) {
    var map = geoJson && Array.isArray(geoJson.features) ? geoJson : { type: 'FeatureCollection', features: [] };
    try {
      echarts.registerMap(key, map);
    } catch (e) {
      console.error('map "' + key + '" cannot be used: ' + (e && e.message ? e.message : e));
    }
  }

  // ---- Data view over the chart

  function closeDataView() {
    var old = document.getElementById('zhp-dataview');
    if (old)
      old.parentNode.removeChild(old);
  }

  function showDataView() {
    if (!chart)
      return false;
    var opt = chart.getOption() || {};
    var toContent = null;
    (opt.toolbox || []).forEach(function (box) {
      var dv = box && box.feature && box.feature.dataView;
      if (!toContent && dv && typeof dv.optionToContent === 'function')
        toContent = dv.optionToContent;
    });
    var content = (toContent || functions.dataViewLine)(opt);
    closeDataView();
    var view = document.createElement('div');
    view.id = 'zhp-dataview';
    view.innerHTML = '<div class="bar"><span>数据视图</span><button type="button">关闭</button></div><div class="content"></div>';
    var body = view.querySelector('.content');
    if (typeof content === 'string')
      body.innerHTML = content;
    else if (content)
      body.appendChild(content);
    view.querySelector('button').addEventListener('click', closeDataView);
    document.body.appendChild(view);
    return true;
  }

  // A page handed to another view starts as if it had just loaded.
  var builtin = Object.assign({}, functions);
  function reset() {
    closeDataView();
    if (chart)
      chart.dispose();
    chart = null;
    shown = null;
    standalone = false;
    Object.keys(functions).forEach(function (name) { delete functions[name]; });
    Object.assign(functions, builtin);
  }

  window.zhpChart = {
    functions: functions,
    reset: reset,
    show: show,
    registerMap: registerMap,
    setStandalone: function (on) { standalone = !!on; },
    showDataView: showDataView,
    closeDataView: closeDataView,
    instance: function () { return chart; },
    connected: function () { return host !== null; }
  };
})();
